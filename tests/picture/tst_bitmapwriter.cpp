// "Save As Bitmap": a screen written as a 160 x 128 one-bit BMP, read back by this program's
// reader and by Qt's.

#include "picture/BitmapReader.h"
#include "picture/BitmapWriter.h"
#include "support/HexCompare.h"

#include <QImage>
#include <QTest>
#include <functional>

namespace {

using LitFn = std::function<bool(int x, int y)>;

PageBytes screenOf(const LitFn& lit) {
    PageBytes pages;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 160; ++x)
            if (lit(x, y))
                pages.set(y / 8, x, std::uint8_t(pages.at(y / 8, x) | 1 << (y % 8)));
    // Beyond the screen's 160 columns: not part of the file.
    for (int p = 0; p < PageBytes::kPages; ++p)
        for (int x = 160; x < PageBytes::kColumns; ++x)
            pages.set(p, x, 0x5A);
    return pages;
}

} // namespace

Q_DECLARE_METATYPE(LitFn)

class TestBitmapWriter : public QObject {
    Q_OBJECT
private slots:
    void header();
    void readsBackTheSame_data();
    void readsBackTheSame();
};

void TestBitmapWriter::header() {
    const QByteArray file = BitmapWriter::write(PageBytes());
    QCOMPARE(file.size(), 62 + 20 * 128);
    // "BM", file size 2622, data at 62; 40-byte header, 160 x 128 (bottom-up), 1 plane, 1 bit,
    // no compression, 2560 bytes of data, 72 dpi, 2 colours; black, then white.
    COMPARE_HEX(file.left(62), bytesOf("42 4D 3E 0A 00 00 00 00 00 00 3E 00 00 00"
                                       "28 00 00 00 A0 00 00 00 80 00 00 00 01 00 01 00"
                                       "00 00 00 00 00 0A 00 00 13 0B 00 00 13 0B 00 00"
                                       "02 00 00 00 02 00 00 00"
                                       "00 00 00 00 FF FF FF 00"));
}

void TestBitmapWriter::readsBackTheSame_data() {
    QTest::addColumn<LitFn>("lit");
    QTest::newRow("all lit") << LitFn([](int, int) { return true; });
    QTest::newRow("top-left pixel") << LitFn([](int x, int y) { return x == 0 && y == 0; });
    QTest::newRow("irregular") << LitFn(
        [](int x, int y) { return ((x * 7 + y * 13) ^ (x * y)) % 5 < 2; });
}

void TestBitmapWriter::readsBackTheSame() {
    QFETCH(LitFn, lit);
    const PageBytes screen = screenOf(lit);
    const QByteArray file = BitmapWriter::write(screen);

    PageBytes read; // columns 160.. stay 0 here, so compare only the screen's
    const BitmapReadResult result = BitmapReader::read(
        {reinterpret_cast<const std::uint8_t*>(file.data()), std::size_t(file.size())}, read);
    QVERIFY(result.ok());
    QCOMPARE(result.width, 160);
    QCOMPARE(result.height, 128);
    for (int p = 0; p < 16; ++p)
        for (int x = 0; x < 160; ++x)
            QCOMPARE(read.at(p, x), screen.at(p, x));

    // Any other program sees lit pixels white, and the picture the right way up.
    const QImage image = QImage::fromData(file, "BMP");
    QCOMPARE(image.size(), QSize(160, 128));
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 160; ++x)
            QCOMPARE(image.pixel(x, y), lit(x, y) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
}

QTEST_GUILESS_MAIN(TestBitmapWriter)
#include "tst_bitmapwriter.moc"
