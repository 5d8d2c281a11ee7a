// Reading picture files of any format: what opens, at which size, and what is refused and why.

#include "picture/ImageLoader.h"
#include "picture/PictureBombs.h"
#include "picture/PictureFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

// Dark left half, light right half, with fine detail that differs from pixel to pixel.
QImage photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int detail = ((x * 7) ^ (y * 13)) & 31;
            const int base = x < width / 2 ? 40 : 200;
            image.setPixel(x, y, qRgb(base + detail, base + (y * 20 / height), base + x % 17));
        }
    return image;
}

QByteArray encode(const QImage& image, const char* format, int quality = 90,
                  bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        qFatal("cannot encode %s", format);
    return bytes;
}

// A JPEG marked, as cameras do, to be turned when shown: EXIF orientation 6 is a quarter turn
// clockwise, 3 a half turn, 8 a quarter anticlockwise, 5 a mirror across the diagonal.
QByteArray turnedJpeg(const QImage& image, int orientation) {
    const QByteArray jpeg = encode(image, "jpeg", 100);
    using bombs::be32;
    const QByteArray exif = QByteArray("Exif\0\0MM\0*", 10) + be32(8) +
                            QByteArray::fromHex("0001 0112 0003 00000001 00") + char(orientation) +
                            QByteArray::fromHex("0000") + be32(0);
    const int length = int(exif.size()) + 2;
    return jpeg.left(2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + exif + jpeg.mid(2);
}

QString put(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("picture"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class TestImageLoader : public QObject {
    Q_OBJECT
private slots:
    void opensPictures_data();
    void opensPictures();
    void centreAtFullResolution_data();
    void centreAtFullResolution();
    void refusesWhatWouldHurt_data();
    void refusesWhatWouldHurt();
};

void TestImageLoader::opensPictures_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("boardSize");
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<QSize>("fullSize");
    const QSize board(160, 128);
    const QByteArray large = encode(photo(4000, 3000), "jpeg");
    QTest::newRow("PNG") << encode(photo(200, 100), "png") << board << QSize(200, 100)
                         << QSize(200, 100);
    QTest::newRow("JPEG 640x480: every pixel")
        << encode(photo(640, 480), "jpeg") << board << QSize(640, 480) << QSize(640, 480);
    // The shorter side keeps twice the board's longer side: 3000 / 8 = 375, 1300 / 4 = 325.
    QTest::newRow("JPEG 4000x3000: an eighth")
        << large << board << QSize(500, 375) << QSize(4000, 3000);
    QTest::newRow("JPEG 1600x1300: a quarter")
        << encode(photo(1600, 1300), "jpeg") << board << QSize(400, 325) << QSize(1600, 1300);
    QTest::newRow("JPEG 4000x3000, every pixel asked for")
        << large << QSize() << QSize(4000, 3000) << QSize(4000, 3000);
    QTest::newRow("JPEG 4000x3000 turned upright")
        << turnedJpeg(photo(4000, 3000), 6) << board << QSize(375, 500) << QSize(3000, 4000);
    QTest::newRow("PNG 1600x1300: a quarter")
        << encode(photo(1600, 1300), "png") << board << QSize(400, 325) << QSize(1600, 1300);
    QTest::newRow("progressive JPEG")
        << encode(photo(640, 480), "jpeg", 90, true) << board << QSize(640, 480) << QSize(640, 480);
    // The decoder warns of the stray bytes and skips them: no reason to refuse.
    const QByteArray jpeg = encode(photo(300, 200), "jpeg");
    QTest::newRow("JPEG with stray bytes after its start")
        << jpeg.left(2) + "stray" + jpeg.mid(2) << board << QSize(300, 200) << QSize(300, 200);
}

void TestImageLoader::opensPictures() {
    QFETCH(QByteArray, file);
    QFETCH(QSize, boardSize);
    QFETCH(QSize, imageSize);
    QFETCH(QSize, fullSize);
    QTemporaryDir dir;
    const LoadedImage loaded = ImageLoader::load(put(dir, file), boardSize);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error));
    QCOMPARE(loaded.image.size(), imageSize);
    QCOMPARE(loaded.fullSize, fullSize);
    QCOMPARE(loaded.reduced(), imageSize != fullSize);
    // The same picture at any size: dark on the left, light on the right (turned: top, bottom).
    const bool turned = fullSize.height() > fullSize.width();
    const int w = imageSize.width();
    const int h = imageSize.height();
    QVERIFY(qGray(loaded.image.pixel(turned ? QPoint(w / 2, h / 4) : QPoint(w / 4, h / 2))) < 100);
    QVERIFY(qGray(loaded.image.pixel(turned ? QPoint(w / 2, 3 * h / 4)
                                            : QPoint(3 * w / 4, h / 2))) > 180);
}

void TestImageLoader::centreAtFullResolution_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("centreSize");
    // Odd margins around the centre, so that a centre mirrored the wrong way is one pixel off.
    const QImage busy = photo(1001, 703);
    QTest::newRow("JPEG") << encode(busy, "jpeg", 100) << QSize(160, 128);
    for (const int orientation : {3, 5, 6, 8})
        QTest::addRow("JPEG, EXIF orientation %d", orientation)
            << turnedJpeg(busy, orientation) << QSize(160, 128);
    QTest::newRow("PNG") << encode(busy, "png") << QSize(160, 128);
    QTest::newRow("narrower than the board")
        << encode(busy.copy(0, 0, 100, 300), "png") << QSize(100, 128);
}

void TestImageLoader::centreAtFullResolution() {
    QFETCH(QByteArray, file);
    QFETCH(QSize, centreSize);
    QTemporaryDir dir;
    const QString path = put(dir, file);
    const LoadedImage centre = ImageLoader::loadCentre(path);
    QVERIFY2(centre.ok(), qPrintable(centre.error));
    // The same pixels as the middle of the whole picture, decoded and turned upright.
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage whole = reader.read();
    QCOMPARE(centre.fullSize, whole.size());
    const QImage want = whole.copy((whole.width() - centreSize.width()) / 2,
                                   (whole.height() - centreSize.height()) / 2, centreSize.width(),
                                   centreSize.height());
    QCOMPARE(centre.image.convertToFormat(QImage::Format_RGB32),
             want.convertToFormat(QImage::Format_RGB32));
}

void TestImageLoader::refusesWhatWouldHurt_data() {
    QTest::addColumn<QByteArray>("file"); // "<missing>", "<folder>", "<pipe>", or its bytes
    QTest::addColumn<QString>("reason");
    QTest::newRow("no such file") << QByteArray("<missing>")
                                  << QStringLiteral(
                                         "it cannot be read (No such file or directory).");
    QTest::newRow("a folder") << QByteArray("<folder>")
                              << QStringLiteral("it cannot be read (it is a folder, not a file).");
    QTest::newRow("a named pipe, at once")
        << QByteArray("<pipe>")
        << QStringLiteral("it cannot be read (it is a named pipe, not a file).");
    QTest::newRow("empty") << QByteArray("") << QStringLiteral("it is empty.");
    QTest::newRow("text") << QByteArray("hello, board\n")
                          << QStringLiteral("it is not a picture in a format this program reads.");
    QTest::newRow("PNG bomb, 100000 x 100000")
        << bombs::pngClaiming(100000, 100000)
        << QStringLiteral("the picture is 100000 x 100000 pixels; opening it would take 38147 MB "
                          "of memory, more than the 256 MB allowed.");
    QTest::newRow("PNG bomb, just over 256 MB")
        << bombs::pngClaiming(8193, 8192)
        << QStringLiteral("the picture is 8193 x 8192 pixels; opening "
                          "it would take 257 MB of memory");
    const QByteArray png = encode(photo(300, 200), "png");
    QTest::newRow("PNG cut in half")
        << png.left(png.size() / 2) << QStringLiteral("it is damaged or incomplete (");
    const QByteArray jpeg = encode(photo(300, 200), "jpeg");
    const QString cut =
        QStringLiteral("it is damaged or incomplete (the JPEG data ends before the picture does).");
    QTest::newRow("JPEG cut in half") << jpeg.left(jpeg.size() / 2) << cut;
    QTest::newRow("JPEG without its end marker") << jpeg.left(jpeg.size() - 2) << cut;
    QTest::newRow("JPEG data cut, end marker kept")
        << jpeg.left(jpeg.size() / 2) + "\xFF\xD9" << cut;
    using bombs::JpegCoding;
    // The decoder holds 2 bytes per pixel and component at full size, even when it decodes an
    // eighth of the width and height (as it would here).
    QTest::newRow("progressive JPEG bomb, 46000 x 46000")
        << bombs::jpegClaiming(46000, 46000, JpegCoding::Progressive)
        << QStringLiteral("the picture is 46000 x 46000 pixels; opening it would take 4163 MB of "
                          "memory, more than the 256 MB allowed.");
    QTest::newRow("JPEG bomb in separate scans, 20000 x 20000")
        << bombs::jpegClaiming(20000, 20000, JpegCoding::SeparateScans)
        << QStringLiteral("the picture is 20000 x 20000 pixels; opening it would take 2313 MB");
}

void TestImageLoader::refusesWhatWouldHurt() {
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture"));
    if (file == "<folder>")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("picture")));
    else if (file == "<pipe>")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (file != "<missing>")
        put(dir, file);
    const LoadedImage loaded = ImageLoader::load(path);
    QVERIFY(!loaded.ok());
    QVERIFY2(loaded.error.startsWith(reason), qPrintable(loaded.error));
    // The window's "Open" and vantrelctl refuse such files for the same reason.
    QCOMPARE(PictureFile::open(path).error, loaded.error);
    QCOMPARE(PictureFile::load(path, ConversionOptions{}).error, loaded.error);
}

QTEST_GUILESS_MAIN(TestImageLoader)
#include "tst_imageloader.moc"
