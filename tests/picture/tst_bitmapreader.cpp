// The BMP reader and the packing of its page bytes into the upload stream.

#include "picture/BitmapReader.h"
#include "picture/UploadBuffer.h"
#include "support/TestBitmaps.h"

#include <QImage>
#include <QTest>
#include <limits>

using Error = BitmapReadResult::Error;
using testbmp::bitmap;
using testbmp::pageByte;
Q_DECLARE_METATYPE(testbmp::Spec)
Q_DECLARE_METATYPE(BitmapReadResult::Error)

namespace {

std::span<const std::uint8_t> bytes(const QByteArray& file) {
    return {reinterpret_cast<const std::uint8_t*>(file.data()), std::size_t(file.size())};
}

// Page bytes left over from "an earlier picture", so untouched bytes can be told apart.
PageBytes leftovers() {
    PageBytes pages;
    for (int p = 0; p < PageBytes::kPages; ++p)
        for (int x = 0; x < PageBytes::kColumns; ++x)
            pages.set(p, x, std::uint8_t(0xA5 ^ (p * 16 + x)));
    return pages;
}

} // namespace

class TestBitmapReader : public QObject {
    Q_OBJECT
private slots:
    void convertsOneBitPictures_data();
    void convertsOneBitPictures();
    void pageByteLayout();
    void refusesUnusableFiles_data();
    void refusesUnusableFiles();
    void packsIntoTheStream();
};

void TestBitmapReader::convertsOneBitPictures_data() {
    QTest::addColumn<testbmp::Spec>("picture");
    using testbmp::pattern;
    auto all = [](int index) { return [index](int, int) { return index; }; };
    auto topLeft = [](int x, int y) { return x == 0 && y == 0 ? 1 : 0; };

    QTest::newRow("160x128 all index 0") << bitmap(160, 128, all(0));
    QTest::newRow("160x128 all index 1") << bitmap(160, 128, all(1));
    QTest::newRow("160x128 top-left pixel") << bitmap(160, 128, topLeft);
    QTest::newRow("160x128 pattern") << bitmap(160, 128, pattern);
    QTest::newRow("256x128 largest") << bitmap(256, 128, pattern);
    QTest::newRow("96 wide, rows of 12 bytes") << bitmap(96, 40, pattern);
    QTest::newRow("120 wide, rows padded to 16 bytes") << bitmap(120, 48, pattern);
    QTest::newRow("12x20 all index 1") << bitmap(12, 20, all(1));
    QTest::newRow("13x20 all index 1") << bitmap(13, 20, all(1));
    QTest::newRow("13x20 pattern") << bitmap(13, 20, pattern);
    QTest::newRow("1x1 lit") << bitmap(1, 1, all(1));
    QTest::newRow("256x1") << bitmap(256, 1, pattern);
    QTest::newRow("1x128") << bitmap(1, 128, pattern);
    QTest::newRow("33x9 pattern") << bitmap(33, 9, pattern);

    testbmp::Spec v4 = bitmap(160, 128, pattern);
    v4.headerSize = 108;
    QTest::newRow("108-byte header, data at 130") << v4;
    testbmp::Spec v5 = bitmap(100, 30, pattern);
    v5.headerSize = 124;
    QTest::newRow("124-byte header") << v5;
    testbmp::Spec core = bitmap(40, 16, pattern);
    core.headerSize = 12;
    QTest::newRow("12-byte core header") << core;
    testbmp::Spec whiteFirst = bitmap(160, 128, pattern);
    whiteFirst.whiteFirst = true;
    QTest::newRow("white-first palette: index 1 (black) lit") << whiteFirst;
    testbmp::Spec topDown = bitmap(160, 128, pattern);
    topDown.topDown = true;
    QTest::newRow("top-down") << topDown;
    testbmp::Spec topDownOdd = bitmap(21, 11, pattern);
    topDownOdd.topDown = true;
    QTest::newRow("top-down 21x11") << topDownOdd;
    testbmp::Spec twoColours = bitmap(64, 32, pattern);
    twoColours.colorsUsed = 2;
    QTest::newRow("colours used 2") << twoColours;
}

void TestBitmapReader::convertsOneBitPictures() {
    QFETCH(testbmp::Spec, picture);
    const QByteArray file = testbmp::write(picture);
    PageBytes pages = leftovers();
    const PageBytes before = pages;

    const BitmapReadResult result = BitmapReader::read(bytes(file), pages);

    QCOMPARE(result.error, Error::None);
    QCOMPARE(qint64(result.width), qint64(picture.width));
    QCOMPARE(qint64(result.height), qint64(picture.height));
    const int pageCount = (picture.height + 7) / 8;
    QCOMPARE(result.pageCount, pageCount);
    for (int p = 0; p < PageBytes::kPages; ++p)
        for (int x = 0; x < PageBytes::kColumns; ++x) {
            const bool inPicture = p < pageCount && x < picture.width;
            const int expected = inPicture ? pageByte(picture, p, x) : before.at(p, x);
            if (pages.at(p, x) != expected)
                QFAIL(qPrintable(QStringLiteral("page %1 column %2: got %3, want %4")
                                     .arg(p)
                                     .arg(x)
                                     .arg(pages.at(p, x), 2, 16, QLatin1Char('0'))
                                     .arg(expected, 2, 16, QLatin1Char('0'))));
        }

    // Qt's own BMP decoder agrees: the lit pixels are the palette's second colour (white,
    // unless the palette lists white first).
    const QImage decoded = QImage::fromData(file, "BMP");
    QVERIFY(!decoded.isNull());
    QCOMPARE(decoded.size(), QSize(picture.width, picture.height));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const bool secondColour = (qGray(decoded.pixel(x, y)) > 127) != picture.whiteFirst;
            const bool litHere = (pages.at(y / 8, x) >> (y % 8)) & 1;
            if (secondColour != litHere)
                QFAIL(qPrintable(
                    QStringLiteral("pixel %1, %2 differs from Qt's reading").arg(x).arg(y)));
        }
}

// The layout fixed by hand: bit 0 is the top row of a page, and a partial last page has its
// missing rows unset.
void TestBitmapReader::pageByteLayout() {
    PageBytes pages = leftovers();
    const QByteArray topLeft =
        testbmp::write(bitmap(160, 128, [](int x, int y) { return x == 0 && y == 0; }));
    QVERIFY(BitmapReader::read(bytes(topLeft), pages).ok());
    QCOMPARE(pages.at(0, 0), 0x01);
    QCOMPARE(pages.at(0, 1), 0x00);
    QCOMPARE(pages.at(1, 0), 0x00);

    const QByteArray row9 =
        testbmp::write(bitmap(160, 128, [](int x, int y) { return x == 5 && y == 9; }));
    QVERIFY(BitmapReader::read(bytes(row9), pages).ok());
    QCOMPARE(pages.at(1, 5), 0x02);
    QCOMPARE(pages.at(0, 5), 0x00);

    pages = leftovers();
    const QByteArray partial = testbmp::write(bitmap(13, 20, [](int, int) { return 1; }));
    QVERIFY(BitmapReader::read(bytes(partial), pages).ok());
    QCOMPARE(pages.at(0, 12), 0xFF);
    QCOMPARE(pages.at(1, 0), 0xFF);
    QCOMPARE(pages.at(2, 12), 0x0F); // rows 16..19 lit, 20..23 not in the picture
    QCOMPARE(pages.at(2, 13), leftovers().at(2, 13));
    QCOMPARE(pages.at(3, 0), leftovers().at(3, 0));
}

void TestBitmapReader::refusesUnusableFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Error>("error");
    QTest::addColumn<qint64>("width");
    QTest::addColumn<qint64>("height");
    QTest::addColumn<int>("bitsPerPixel");

    const QByteArray good = testbmp::write(bitmap(160, 128, testbmp::pattern));
    auto with = [](testbmp::Spec s, auto change) {
        change(s);
        return testbmp::write(s);
    };
    auto patched32 = [&good](int at, std::uint32_t value) {
        QByteArray b = good;
        testbmp::put32(b, at, value);
        return b;
    };
    const testbmp::Spec base = bitmap(160, 128, testbmp::pattern);

    QTest::newRow("empty file") << QByteArray() << Error::NotBmp << 0ll << 0ll << 0;
    QTest::newRow("text file") << QByteArray("hello, board\n") << Error::NotBmp << 0ll << 0ll << 0;
    QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << Error::NotBmp << 0ll
                         << 0ll << 0;
    QTest::newRow("signature only") << QByteArray("BM") << Error::Truncated << 0ll << 0ll << 0;
    QTest::newRow("cut in the header") << good.left(30) << Error::Truncated << 0ll << 0ll << 0;
    QTest::newRow("unknown header size")
        << patched32(14, 20) << Error::UnknownHeader << 0ll << 0ll << 0;
    QTest::newRow("4 bits per pixel") << with(base, [](auto& s) { s.bitsPerPixel = 4; })
                                      << Error::NotOneBit << 160ll << 128ll << 4;
    QTest::newRow("8 bits per pixel") << with(base, [](auto& s) { s.bitsPerPixel = 8; })
                                      << Error::NotOneBit << 160ll << 128ll << 8;
    QTest::newRow("24 bits per pixel") << with(base, [](auto& s) { s.bitsPerPixel = 24; })
                                       << Error::NotOneBit << 160ll << 128ll << 24;
    QTest::newRow("compressed") << with(base, [](auto& s) { s.compression = 1; })
                                << Error::Compressed << 160ll << 128ll << 1;
    QTest::newRow("257 wide") << with(base, [](auto& s) { s.width = 257; }) << Error::TooLarge
                              << 257ll << 128ll << 1;
    QTest::newRow("129 high") << with(base, [](auto& s) { s.height = 129; }) << Error::TooLarge
                              << 160ll << 129ll << 1;
    QTest::newRow("top-down 129 high") << with(base,
                                               [](auto& s) {
                                                   s.height = 129;
                                                   s.topDown = true;
                                               })
                                       << Error::TooLarge << 160ll << 129ll << 1;
    QTest::newRow("height -2^31") << patched32(22, 0x80000000u) << Error::TooLarge << 160ll
                                  << 2147483648ll << 1;
    QTest::newRow("width 2^31-1") << patched32(18, 0x7FFFFFFFu) << Error::TooLarge << 2147483647ll
                                  << 128ll << 1;
    QTest::newRow("core header 65535 wide") << with(base, [](auto& s) {
        s.headerSize = 12;
        s.width = 65535;
        s.height = 1;
    }) << Error::TooLarge << 65535ll << 1ll << 1;
    QTest::newRow("zero width") << patched32(18, 0) << Error::Malformed << 0ll << 128ll << 1;
    QTest::newRow("negative width")
        << patched32(18, std::uint32_t(-160)) << Error::Malformed << -160ll << 128ll << 1;
    QTest::newRow("zero height") << patched32(22, 0) << Error::Malformed << 160ll << 0ll << 1;
    QTest::newRow("planes 0") << with(base, [](auto& s) { s.planes = 0; }) << Error::Malformed
                              << 160ll << 128ll << 1;
    QTest::newRow("data offset inside the header")
        << patched32(10, 40) << Error::Malformed << 160ll << 128ll << 1;
    QTest::newRow("last byte missing")
        << good.left(good.size() - 1) << Error::Truncated << 160ll << 128ll << 1;
    QTest::newRow("half the rows")
        << good.left(62 + 20 * 64) << Error::Truncated << 160ll << 128ll << 1;
    QTest::newRow("data offset past the end")
        << patched32(10, 0xFFFFFFF0u) << Error::Truncated << 160ll << 128ll << 1;
}

void TestBitmapReader::refusesUnusableFiles() {
    QFETCH(QByteArray, file);
    QFETCH(Error, error);
    QFETCH(qint64, width);
    QFETCH(qint64, height);
    QFETCH(int, bitsPerPixel);
    PageBytes pages = leftovers();

    const BitmapReadResult result = BitmapReader::read(bytes(file), pages);

    QCOMPARE(result.error, error);
    QVERIFY(!result.ok());
    if (bitsPerPixel != 0) {
        QCOMPARE(qint64(result.width), width);
        QCOMPARE(qint64(result.height), height);
        QCOMPARE(result.bitsPerPixel, bitsPerPixel);
    }
    QVERIFY2(pages == leftovers(), "a refused file changed the page bytes");
}

void TestBitmapReader::packsIntoTheStream() {
    UploadBuffer buffer;
    PageBytes pages;
    const testbmp::Spec first = bitmap(160, 128, testbmp::pattern);
    const testbmp::Spec second = bitmap(160, 64, testbmp::otherPattern);

    QVERIFY(BitmapReader::read(bytes(testbmp::write(first)), pages).ok());
    buffer.pack(pages, 160, 16);
    for (int s = 0; s < 2560; ++s)
        QCOMPARE(buffer.stream(s), 255 - pageByte(first, s / 160, s % 160));
    for (int s = 2560; s < UploadBuffer::kStreamSize; ++s)
        QCOMPARE(buffer.stream(s), 0);
    QCOMPARE(buffer.at(1, 0), buffer.stream(256)); // block 1 follows block 0 in the stream

    QVERIFY(BitmapReader::read(bytes(testbmp::write(second)), pages).ok());
    buffer.pack(pages, 160, 8);
    for (int s = 0; s < 1280; ++s)
        QCOMPARE(buffer.stream(s), 255 - pageByte(second, s / 160, s % 160));
    for (int s = 1280; s < 2560; ++s) // still the first picture's bottom half
        QCOMPARE(buffer.stream(s), 255 - pageByte(first, s / 160, s % 160));

    const testbmp::Spec largest = bitmap(256, 128, testbmp::otherPattern);
    QVERIFY(BitmapReader::read(bytes(testbmp::write(largest)), pages).ok());
    buffer.pack(pages, 256, 16);
    for (int s = 0; s < 4096; ++s)
        QCOMPARE(buffer.stream(s), 255 - pageByte(largest, s / 256, s % 256));
    for (int block = 16; block < UploadBuffer::kBlocks; ++block)
        for (int position = 0; position < UploadBuffer::kPositions; ++position)
            QCOMPARE(buffer.at(block, position), 0);

    const UploadBuffer beforeSmall = buffer;
    const testbmp::Spec small = bitmap(13, 20, testbmp::pattern);
    QVERIFY(BitmapReader::read(bytes(testbmp::write(small)), pages).ok());
    buffer.pack(pages, 13, 3);
    for (int s = 0; s < 39; ++s) // page p, column x at p * 13 + x
        QCOMPARE(buffer.stream(s), 255 - pageByte(small, s / 13, s % 13));
    for (int s = 39; s < UploadBuffer::kStreamSize; ++s)
        QCOMPARE(buffer.stream(s), beforeSmall.stream(s));
}

QTEST_APPLESS_MAIN(TestBitmapReader)
#include "tst_bitmapreader.moc"
