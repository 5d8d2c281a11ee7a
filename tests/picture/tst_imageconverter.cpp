// Ordinary pictures to the board's 160 x 128 one-bit screen, on generated pictures whose right
// answer is known: grey ramps, flat greys, fine checkers and plain rectangles.

#include "picture/ImageConverter.h"
#include "picture/Srgb.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <cmath>

using Size = ConversionOptions::Size;
using Method = ConversionOptions::Method;
Q_DECLARE_METATYPE(Size)
Q_DECLARE_METATYPE(Method)

namespace {

constexpr int W = 160;
constexpr int H = 128;

bool lit(const PageBytes& pages, int x, int y) {
    return (pages.at(y / 8, x) >> (y % 8)) & 1;
}

int litCount(const PageBytes& pages) {
    int n = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            n += lit(pages, x, y);
    return n;
}

// The screen as rows of '#' (lit) and '.', for messages.
QByteArray picture(const PageBytes& pages, QRect area = {0, 0, W, H}) {
    QByteArray text;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            text += lit(pages, x, y) ? '#' : '.';
        text += '\n';
    }
    return text;
}

QImage flat(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QImage grey(QSize size, int level) {
    return flat(size, qRgb(level, level, level));
}

// Columns of greys: column x holds level(x), `repeat` pixels wide.
QImage ramp(int width, int height, int repeat, std::function<int(int)> level) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x) {
        const int v = level(x / repeat);
        for (int y = 0; y < height; ++y)
            image.setPixel(x, y, qRgb(v, v, v));
    }
    return image;
}

// Black on the left half, white on the right.
QImage split(QSize size) {
    QImage image = grey(size, 255);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), Qt::black);
    return image;
}

ConversionOptions options(Size size, Method method, std::optional<int> threshold,
                          bool invert = false) {
    ConversionOptions o;
    o.size = size;
    o.method = method;
    o.threshold = threshold;
    o.invert = invert;
    return o;
}

} // namespace

class TestImageConverter : public QObject {
    Q_OBJECT
private slots:
    void thresholdLightsLevelsAbove_data();
    void thresholdLightsLevelsAbove();
    void ditheringKeepsBrightness_data();
    void ditheringKeepsBrightness();
    void bayerPatterns_data();
    void bayerPatterns();
    void placesThePicture_data();
    void placesThePicture();
    void otsuSplitsTheGreys_data();
    void otsuSplitsTheGreys();
};

void TestImageConverter::thresholdLightsLevelsAbove_data() {
    QTest::addColumn<QImage>("image");
    QTest::addColumn<Size>("size");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<bool>("invert");
    // The grey level each board column shows.
    QTest::addColumn<std::function<int(int)>>("level");

    // 160 columns from 48 to 207, 128 among them.
    auto from48 = [](int x) { return 48 + x; };
    const QImage ramp48 = ramp(W, H, 1, from48);
    QTest::newRow("ramp at 128") << ramp48 << Size::Original << 128 << false
                                 << std::function<int(int)>(from48);
    QTest::newRow("ramp at 128, inverted")
        << ramp48 << Size::Original << 128 << true << std::function<int(int)>(from48);
    QTest::newRow("ramp at 100") << ramp48 << Size::Stretch << 100 << false
                                 << std::function<int(int)>(from48);
    // Levels 0..255 in 160 steps, two pixels each, scaled down by averaging them.
    auto full = [](int x) { return x * 255 / 159; };
    QTest::newRow("full ramp halved at 128") << ramp(2 * W, 2 * H, 2, full) << Size::Fit << 128
                                             << false << std::function<int(int)>(full);
    QTest::newRow("threshold 0 lights all but black")
        << ramp(W, H, 1, full) << Size::Fit << 0 << false << std::function<int(int)>(full);
    QTest::newRow("threshold 255 lights nothing")
        << ramp(W, H, 1, full) << Size::Fit << 255 << false << std::function<int(int)>(full);
    // A fine black and white checker averages to half the light of white: grey level 188 in
    // sRGB (averaging the encoded values would wrongly give 128).
    QImage checker(2 * W, 2 * H, QImage::Format_RGB32);
    for (int y = 0; y < 2 * H; ++y)
        for (int x = 0; x < 2 * W; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    auto level188 = [](int) { return 188; };
    QTest::newRow("checker averages in linear light, at 187")
        << checker << Size::Fit << 187 << false << std::function<int(int)>(level188);
    QTest::newRow("checker averages in linear light, at 188")
        << checker << Size::Fit << 188 << false << std::function<int(int)>(level188);
    // Transparent is seen over white; black at alpha 127 over white is level 188 too.
    QTest::newRow("transparent is white")
        << flat({W, H}, qRgba(0, 0, 0, 0)) << Size::Fit << 254 << false
        << std::function<int(int)>([](int) { return 255; });
    QTest::newRow("half-transparent black, at 187")
        << flat({W, H}, qRgba(0, 0, 0, 127)) << Size::Fit << 187 << false
        << std::function<int(int)>(level188);
    QTest::newRow("half-transparent black, at 189")
        << flat({W, H}, qRgba(0, 0, 0, 127)) << Size::Fit << 189 << false
        << std::function<int(int)>(level188);
}

void TestImageConverter::thresholdLightsLevelsAbove() {
    QFETCH(QImage, image);
    QFETCH(Size, size);
    QFETCH(int, threshold);
    QFETCH(bool, invert);
    QFETCH(std::function<int(int)>, level);

    const PageBytes pages =
        ImageConverter::convert(image, options(size, Method::Threshold, threshold, invert));
    for (int x = 0; x < W; ++x) {
        const bool want = (level(x) > threshold) != invert;
        for (int y = 0; y < H; ++y)
            QVERIFY2(lit(pages, x, y) == want,
                     qPrintable(QStringLiteral("column %1 (level %2), row %3: %4")
                                    .arg(x)
                                    .arg(level(x))
                                    .arg(y)
                                    .arg(lit(pages, x, y) ? "lit" : "unlit")));
    }
    for (int p = 0; p < PageBytes::kPages; ++p)
        for (int x = W; x < PageBytes::kColumns; ++x)
            QCOMPARE(int(pages.at(p, x)), 0);
}

void TestImageConverter::ditheringKeepsBrightness_data() {
    QTest::addColumn<Method>("method");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("invert");
    // sRGB 188 is half the light of white, 137 a quarter, 225 three quarters.
    QTest::newRow("Floyd-Steinberg, 50%") << Method::FloydSteinberg << 188 << false;
    QTest::newRow("Floyd-Steinberg, 25%") << Method::FloydSteinberg << 137 << false;
    QTest::newRow("Floyd-Steinberg, 75%") << Method::FloydSteinberg << 225 << false;
    QTest::newRow("Floyd-Steinberg, 25% inverted") << Method::FloydSteinberg << 137 << true;
    QTest::newRow("Atkinson, 50%") << Method::Atkinson << 188 << false;
    QTest::newRow("Bayer 8x8, 25%") << Method::Bayer8 << 137 << false;
}

void TestImageConverter::ditheringKeepsBrightness() {
    QFETCH(Method, method);
    QFETCH(int, level);
    QFETCH(bool, invert);
    const PageBytes pages =
        ImageConverter::convert(grey({320, 256}, level), options(Size::Fit, method, {}, invert));
    double want = Srgb::toLinear(level);
    if (invert)
        want = 1 - want;
    const double share = double(litCount(pages)) / (W * H);
    QVERIFY2(std::abs(share - want) <= 0.02,
             qPrintable(QStringLiteral("%1 of the pixels lit, wanted %2\n")
                            .arg(share, 0, 'f', 4)
                            .arg(want, 0, 'f', 4) +
                        QString::fromLatin1(picture(pages, {0, 0, 64, 16}))));
    // Spread out, not in blocks: no 4 x 4 cell is all lit or all unlit.
    for (int y = 0; y + 4 <= H; y += 4)
        for (int x = 0; x + 4 <= W; x += 4) {
            int n = 0;
            for (int dy = 0; dy < 4; ++dy)
                for (int dx = 0; dx < 4; ++dx)
                    n += lit(pages, x + dx, y + dy);
            QVERIFY2(
                n > 0 && n < 16,
                qPrintable(QStringLiteral("cell at %1, %2: %3 of 16 lit").arg(x).arg(y).arg(n)));
        }
}

void TestImageConverter::bayerPatterns_data() {
    QTest::addColumn<Method>("method");
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("cell"); // the pattern repeated all over the screen
    QTest::newRow("4x4, black") << Method::Bayer4 << 0 << QByteArray("....\n....\n....\n....\n");
    QTest::newRow("4x4, 25%") << Method::Bayer4 << 137 << QByteArray("#.#.\n....\n#.#.\n....\n");
    QTest::newRow("4x4, 50%") << Method::Bayer4 << 188 << QByteArray("#.#.\n.#.#\n#.#.\n.#.#\n");
    QTest::newRow("4x4, 6 of 16") << Method::Bayer4 << 160
                                  << QByteArray("#.#.\n.#..\n#.#.\n...#\n");
    QTest::newRow("4x4, white") << Method::Bayer4 << 255 << QByteArray("####\n####\n####\n####\n");
    QTest::newRow("8x8, 1 of 64") << Method::Bayer8 << 30
                                  << QByteArray("#.......\n........\n........\n........\n"
                                                "........\n........\n........\n........\n");
    QTest::newRow("8x8, 3 of 64") << Method::Bayer8 << 58
                                  << QByteArray("#...#...\n........\n........\n........\n"
                                                "....#...\n........\n........\n........\n");
}

void TestImageConverter::bayerPatterns() {
    QFETCH(Method, method);
    QFETCH(int, level);
    QFETCH(QByteArray, cell);
    const int side = int(cell.indexOf('\n'));
    const PageBytes pages =
        ImageConverter::convert(grey({W, H}, level), options(Size::Fit, method, {}));
    for (int y = 0; y < H; y += side)
        for (int x = 0; x < W; x += side)
            QCOMPARE(picture(pages, {x, y, side, side}), cell);
}

void TestImageConverter::placesThePicture_data() {
    QTest::addColumn<QImage>("image");
    QTest::addColumn<Size>("size");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<QRect>("litArea"); // every other pixel unlit

    const QImage white320x128 = grey({320, 128}, 255);
    QTest::newRow("Fit 320x128: empty bands above and below")
        << white320x128 << Size::Fit << false << QRect(0, 32, 160, 64);
    QTest::newRow("Fit 320x128 black, inverted: the bands stay empty")
        << grey({320, 128}, 0) << Size::Fit << true << QRect(0, 32, 160, 64);
    QTest::newRow("Fit 64x256: empty bands left and right")
        << grey({64, 256}, 255) << Size::Fit << false << QRect(64, 0, 32, 128);
    QTest::newRow("Fit 16x16 grows to the height")
        << grey({16, 16}, 255) << Size::Fit << false << QRect(16, 0, 128, 128);
    // 320 x 64 half black: Fill doubles it and keeps its middle 80 columns, 40 of them white.
    const QImage split320x64 = split({320, 64});
    QTest::newRow("Fill 320x64 crops the sides")
        << split320x64 << Size::Fill << false << QRect(80, 0, 80, 128);
    QTest::newRow("Stretch 320x64 to the whole screen")
        << split320x64 << Size::Stretch << false << QRect(80, 0, 80, 128);
    QTest::newRow("Original 320x64: middle 160 columns, centred")
        << split320x64 << Size::Original << false << QRect(80, 32, 80, 64);
    QTest::newRow("Original 40x20, centred")
        << grey({40, 20}, 255) << Size::Original << false << QRect(60, 54, 40, 20);
    QTest::newRow("Original 40x20 black, inverted")
        << grey({40, 20}, 0) << Size::Original << true << QRect(60, 54, 40, 20);
}

void TestImageConverter::placesThePicture() {
    QFETCH(QImage, image);
    QFETCH(Size, size);
    QFETCH(bool, invert);
    QFETCH(QRect, litArea);
    const PageBytes pages =
        ImageConverter::convert(image, options(size, Method::Threshold, 127, invert));
    PageBytes want;
    for (int y = litArea.top(); y <= litArea.bottom(); ++y)
        for (int x = litArea.left(); x <= litArea.right(); ++x)
            want.set(y / 8, x, std::uint8_t(want.at(y / 8, x) | 1 << (y % 8)));
    QVERIFY2(pages == want, "\n" + picture(pages));
}

void TestImageConverter::otsuSplitsTheGreys_data() {
    QTest::addColumn<QImage>("image");
    QTest::addColumn<int>("threshold");
    auto twoGreys = [](int dark, int light, int lightColumns) {
        QImage image = grey({100, 60}, dark);
        QPainter(&image).fillRect(0, 0, lightColumns, 60, QColor(light, light, light));
        return image;
    };
    // With two greys every threshold between them splits alike: the middle is taken.
    QTest::newRow("black and white") << twoGreys(0, 255, 50) << 127;
    QTest::newRow("50 and 200, few light") << twoGreys(50, 200, 10) << 124;
    QTest::newRow("one grey") << grey({10, 10}, 90) << 127;
    QImage logo = flat({100, 60}, qRgba(0, 0, 0, 0)); // black on transparent
    QPainter(&logo).fillRect(20, 20, 30, 10, Qt::black);
    QTest::newRow("black logo on transparent") << logo << 127;
    // Three clusters: the widest gap in light wins.
    QImage three = grey({90, 10}, 20);
    QPainter(&three).fillRect(30, 0, 30, 10, QColor(60, 60, 60));
    QPainter(&three).fillRect(60, 0, 30, 10, QColor(240, 240, 240));
    QTest::newRow("20, 60, 240 in thirds") << three << 149;
}

void TestImageConverter::otsuSplitsTheGreys() {
    QFETCH(QImage, image);
    QFETCH(int, threshold);
    QCOMPARE(ImageConverter::otsuThreshold(image), threshold);
    // Without a threshold, conversion takes this one.
    for (const Size size : {Size::Fit, Size::Stretch})
        QVERIFY(ImageConverter::convert(image, options(size, Method::Threshold, {})) ==
                ImageConverter::convert(image, options(size, Method::Threshold, threshold)));
}

QTEST_GUILESS_MAIN(TestImageConverter)
#include "tst_imageconverter.moc"
