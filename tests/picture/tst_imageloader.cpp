// Reading picture files of any format: what opens, at which size, and what is refused and why.

#include "picture/ImageLoader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

// A photo-like picture: smooth colour gradients with fine detail, so that its JPEG and PNG files
// are as large as real ones. Left half darker than the right half.
QImage photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int detail = ((x * 7) ^ (y * 13)) & 31;
            const int base = x < width / 2 ? 40 : 200;
            line[x] = qRgb(base + detail, base + (y * 20 / height), base + detail / 2);
        }
    }
    return image;
}

QByteArray encode(const QImage& image, const char* format, int quality = 90) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        qFatal("cannot encode %s: %s", format, qPrintable(writer.errorString()));
    return bytes;
}

// A GIF of the picture in 128 greys, written the simple way: 8-bit codes with a clear code
// before the code table would grow to 9 bits (Qt writes no GIFs).
QByteArray gif(const QImage& image) {
    const int w = image.width();
    const int h = image.height();
    QByteArray b("GIF89a");
    b += char(w & 0xFF);
    b += char(w >> 8);
    b += char(h & 0xFF);
    b += char(h >> 8);
    b += char(0xF6); // global colour table of 128 entries
    b += '\0';
    b += '\0';
    for (int i = 0; i < 128; ++i)
        b += QByteArray(3, char(i * 2));
    b += QByteArray("\x2C\0\0\0\0", 5);
    b += char(w & 0xFF);
    b += char(w >> 8);
    b += char(h & 0xFF);
    b += char(h >> 8);
    b += '\0';
    b += char(7); // minimum code size: clear code 128, end code 129
    QByteArray codes;
    for (int n = 0; n < w * h; ++n) {
        if (n % 125 == 0)
            codes += char(128);
        codes += char(qGray(image.pixel(n % w, n / w)) / 2);
    }
    codes += char(129);
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        b += char(block.size());
        b += block;
    }
    b += '\0';
    b += ';';
    return b;
}

quint32 crc32(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

QByteArray be32(quint32 v) {
    return QByteArray(1, char(v >> 24)) + char(v >> 16) + char(v >> 8) + char(v);
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    return be32(quint32(data.size())) + type + data + be32(crc32(type + data));
}

// A valid PNG header claiming a huge picture, with a few bytes of data: a decompression bomb.
QByteArray pngClaiming(quint32 width, quint32 height) {
    const QByteArray header = be32(width) + be32(height) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", QByteArray::fromHex("789c63600000000200 01")) + pngChunk("IEND", {});
}

// A JPEG whose frame header is changed to claim another size.
QByteArray jpegClaiming(int width, int height) {
    QByteArray jpeg = encode(photo(64, 64), "jpeg");
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    if (sof < 0)
        qFatal("no baseline frame header");
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width);
    return jpeg;
}

// A JPEG marked, as cameras do, to be turned when shown: EXIF orientation 6 is a quarter turn
// clockwise, 3 a half turn, 8 a quarter anticlockwise, 5 a mirror across the diagonal.
QByteArray turnedJpeg(const QImage& image, int orientation = 6) {
    const QByteArray jpeg = encode(image, "jpeg", 100);
    QByteArray tiff = QByteArray("MM\0*", 4) + be32(8) + QByteArray::fromHex("0001") +
                      QByteArray::fromHex("0112 0003 00000001 00") + char(orientation) +
                      QByteArray::fromHex("0000") + be32(0);
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(exif.size()) + 2;
    const QByteArray app1 =
        QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + exif;
    return jpeg.left(2) + app1 + jpeg.mid(2);
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
    void offersTheCommonFormats();
};

void TestImageLoader::opensPictures_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("boardSize");
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<QSize>("fullSize");
    QTest::addColumn<bool>("madeUp"); // pixels the decoder made up for missing data

    const QImage small = photo(200, 100);
    const QSize board(160, 128);
    QTest::newRow("PNG") << encode(small, "png") << board << QSize(200, 100) << QSize(200, 100)
                         << false;
    QTest::newRow("GIF") << gif(small) << board << QSize(200, 100) << QSize(200, 100) << false;
    QTest::newRow("PGM") << encode(small, "pgm") << board << QSize(200, 100) << QSize(200, 100)
                         << false;
    QTest::newRow("BMP, 24 bits") << encode(small, "bmp") << board << QSize(200, 100)
                                  << QSize(200, 100) << false;
    QTest::newRow("JPEG, small: every pixel")
        << encode(photo(640, 480), "jpeg") << board << QSize(640, 480) << QSize(640, 480) << false;
    // 3000 / 8 = 375 still has twice the board's 160 across the shorter side.
    const QByteArray large = encode(photo(4000, 3000), "jpeg");
    QTest::newRow("JPEG 4000x3000: an eighth")
        << large << board << QSize(500, 375) << QSize(4000, 3000) << false;
    QTest::newRow("JPEG 1000x700: a half") << encode(photo(1000, 700), "jpeg") << board
                                           << QSize(500, 350) << QSize(1000, 700) << false;
    QTest::newRow("JPEG 1600x1300: a quarter") << encode(photo(1600, 1300), "jpeg") << board
                                               << QSize(400, 325) << QSize(1600, 1300) << false;
    QTest::newRow("JPEG 4000x3000, all pixels asked for")
        << large << QSize() << QSize(4000, 3000) << QSize(4000, 3000) << false;
    QTest::newRow("JPEG 4000x3000 turned upright")
        << turnedJpeg(photo(4000, 3000)) << board << QSize(375, 500) << QSize(3000, 4000) << false;
    QTest::newRow("JPEG claiming 16000x16000: an eighth, within the limit")
        << jpegClaiming(16000, 16000) << board << QSize(2000, 2000) << QSize(16000, 16000) << true;
}

void TestImageLoader::opensPictures() {
    QFETCH(QByteArray, file);
    QFETCH(QSize, boardSize);
    QFETCH(QSize, imageSize);
    QFETCH(QSize, fullSize);
    QFETCH(bool, madeUp);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.any"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();

    const LoadedImage loaded = ImageLoader::load(path, boardSize);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error));
    QCOMPARE(loaded.image.size(), imageSize);
    QCOMPARE(loaded.fullSize, fullSize);
    QCOMPARE(loaded.reduced(), imageSize != fullSize);
    if (madeUp)
        return;
    // The same picture at any size: dark on the left, light on the right (turned: top, bottom).
    const bool turned = fullSize.height() > fullSize.width();
    const QPoint dark = turned ? QPoint(imageSize.width() / 2, imageSize.height() / 4)
                               : QPoint(imageSize.width() / 4, imageSize.height() / 2);
    const QPoint light = turned ? QPoint(imageSize.width() / 2, imageSize.height() * 3 / 4)
                                : QPoint(imageSize.width() * 3 / 4, imageSize.height() / 2);
    QVERIFY2(qGray(loaded.image.pixel(dark)) < 100, "dark side");
    QVERIFY2(qGray(loaded.image.pixel(light)) > 180, "light side");
}

void TestImageLoader::centreAtFullResolution_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("shownSize");
    QTest::addColumn<QSize>("centreSize");
    // A busy picture, so that a centre taken from anywhere else, or turned wrongly, shows; odd
    // margins around the centre, so that a centre mirrored the wrong way is one pixel off.
    QImage busy(1001, 703, QImage::Format_RGB32);
    for (int y = 0; y < busy.height(); ++y)
        for (int x = 0; x < busy.width(); ++x)
            busy.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 60 + (y / 256) * 20));
    QTest::newRow("JPEG") << encode(busy, "jpeg", 100) << QSize(1001, 703) << QSize(160, 128);
    for (const int orientation : {3, 5, 6, 8})
        QTest::addRow("JPEG, EXIF orientation %d", orientation)
            << turnedJpeg(busy, orientation)
            << (orientation == 3 ? QSize(1001, 703) : QSize(703, 1001)) << QSize(160, 128);
    QTest::newRow("PNG") << encode(busy, "png") << QSize(1001, 703) << QSize(160, 128);
    QTest::newRow("smaller than the board")
        << encode(busy.copy(0, 0, 100, 300), "png") << QSize(100, 300) << QSize(100, 128);
}

void TestImageLoader::centreAtFullResolution() {
    QFETCH(QByteArray, file);
    QFETCH(QSize, shownSize);
    QFETCH(QSize, centreSize);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();

    const LoadedImage centre = ImageLoader::loadCentre(path);
    QVERIFY2(centre.ok(), qPrintable(centre.error));
    QCOMPARE(centre.fullSize, shownSize);
    QCOMPARE(centre.image.size(), centreSize);
    // The same pixels as the middle of the whole picture, decoded and turned upright.
    QImageReader whole(path);
    whole.setAutoTransform(true);
    const QImage all = whole.read();
    QCOMPARE(all.size(), shownSize);
    const QImage want =
        all.copy((all.width() - centreSize.width()) / 2, (all.height() - centreSize.height()) / 2,
                 centreSize.width(), centreSize.height());
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
        << pngClaiming(100000, 100000)
        << QStringLiteral("the picture is 100000 x 100000 pixels; opening it would take 38147 MB "
                          "of memory, more than the 256 MB allowed.");
    QTest::newRow("PNG bomb, just over 256 MB")
        << pngClaiming(8193, 8192)
        << QStringLiteral("the picture is 8193 x 8192 pixels; opening it would take 257 MB of "
                          "memory, more than the 256 MB allowed.");
    const QByteArray png = encode(photo(300, 200), "png");
    QTest::newRow("PNG cut in half")
        << png.left(png.size() / 2) << QStringLiteral("it is damaged or incomplete (");
    QTest::newRow("PNG without its last 20 bytes")
        << png.left(png.size() - 20) << QStringLiteral("it is damaged or incomplete (");
    const QByteArray jpeg = encode(photo(300, 200), "jpeg");
    const QString jpegCut =
        QStringLiteral("it is damaged or incomplete (the JPEG data ends before the picture does).");
    QTest::newRow("JPEG cut in half") << jpeg.left(jpeg.size() / 2) << jpegCut;
    QTest::newRow("JPEG without its end marker") << jpeg.left(jpeg.size() - 2) << jpegCut;
    QTest::newRow("JPEG headers only") << jpeg.left(jpeg.indexOf("\xFF\xDA")) << jpegCut;
}

void TestImageLoader::refusesWhatWouldHurt() {
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.png"));
    if (file == "<folder>")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bad.png")));
    else if (file == "<pipe>")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (file != "<missing>") {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    }
    const LoadedImage loaded = ImageLoader::load(path);
    QVERIFY(!loaded.ok());
    QVERIFY(loaded.image.isNull());
    QVERIFY2(loaded.error.startsWith(reason), qPrintable(loaded.error));
}

void TestImageLoader::offersTheCommonFormats() {
    const QStringList filters = ImageLoader::nameFilters();
    for (const char* pattern :
         {"*.bmp", "*.gif", "*.jpeg", "*.jpg", "*.pbm", "*.pgm", "*.png", "*.ppm"})
        QVERIFY2(filters.contains(QLatin1String(pattern)), pattern);
    QVERIFY(std::is_sorted(filters.begin(), filters.end()));
}

QTEST_GUILESS_MAIN(TestImageLoader)
#include "tst_imageloader.moc"
