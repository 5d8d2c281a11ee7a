// Ordinary pictures to the board's 160 x 128 one-bit screen, on generated pictures whose right
// answer is known: grey ramps, flat greys, fine checkers and plain rectangles.

#include "picture/ImageConverter.h"
#include "picture/Srgb.h"

#include <QColorSpace>
#include <QCryptographicHash>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <atomic>
#include <cmath>

#ifdef __SANITIZE_ADDRESS__
// From the sanitizer's allocator interface (GCC installs no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
#endif

using Size = ConversionOptions::Size;
using Method = ConversionOptions::Method;
using Level = std::function<int(int x)>;
Q_DECLARE_METATYPE(Size)
Q_DECLARE_METATYPE(Method)
Q_DECLARE_METATYPE(Level)
Q_DECLARE_METATYPE(ConversionOptions)

namespace {

bool lit(const PageBytes& pages, int x, int y) {
    return (pages.at(y / 8, x) >> (y % 8)) & 1;
}

// Part of the screen as rows of '#' (lit) and '.'.
QByteArray picture(const PageBytes& pages, QRect area = {0, 0, 160, 128}) {
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

ConversionOptions options(Size size, Method method, std::optional<int> threshold,
                          bool invert = false) {
    ConversionOptions o;
    o.size = size;
    o.method = method;
    o.threshold = threshold;
    o.invert = invert;
    return o;
}

// The largest single allocation made while `watching`, seen through the sanitizer's hooks (only
// the test's thread allocates meanwhile).
std::atomic<bool> watching{false};
std::atomic<std::size_t> largestAllocation{0};

void noteAllocation(const volatile void*, std::size_t size) {
    if (watching && size > largestAllocation)
        largestAllocation = size;
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
    void convertsColourSpacesInStrips_data();
    void convertsColourSpacesInStrips();
    void defaultAdjustmentChangesNoByte_data();
    void defaultAdjustmentChangesNoByte();
    void brightnessAndContrast_data();
    void brightnessAndContrast();
};

void TestImageConverter::thresholdLightsLevelsAbove_data() {
    QTest::addColumn<QImage>("image"); // fitted to the screen
    QTest::addColumn<int>("threshold");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<Level>("level"); // the grey level each board column shows

    // Columns of greys 48..207, `repeat` pixels wide each.
    auto ramp = [](int repeat) {
        QImage image(160 * repeat, 128 * repeat, QImage::Format_RGB32);
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                image.setPixel(x, y, qRgb(48 + x / repeat, 48 + x / repeat, 48 + x / repeat));
        return image;
    };
    const Level from48 = [](int x) { return 48 + x; };
    QTest::newRow("ramp at 128") << ramp(1) << 128 << false << from48;
    QTest::newRow("ramp at 128, inverted") << ramp(1) << 128 << true << from48;
    QTest::newRow("ramp at 255") << ramp(1) << 255 << false << from48;
    QTest::newRow("ramp twice the size, at 128") << ramp(2) << 128 << false << from48;
    // A fine black and white checker has half the light of white: grey level 188 in sRGB
    // (averaging the encoded values would give 128).
    QImage checker(320, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 320; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const Level level188 = [](int) { return 188; };
    QTest::newRow("fine checker, at 187") << checker << 187 << false << level188;
    QTest::newRow("fine checker, at 188") << checker << 188 << false << level188;
    // Transparency is seen over white: black at alpha 127 is level 188 too.
    const QImage halfBlack = flat({160, 128}, qRgba(0, 0, 0, 127));
    QTest::newRow("black at alpha 127, at 187") << halfBlack << 187 << false << level188;
    QTest::newRow("black at alpha 127, at 189") << halfBlack << 189 << false << level188;
}

void TestImageConverter::thresholdLightsLevelsAbove() {
    QFETCH(QImage, image);
    QFETCH(int, threshold);
    QFETCH(bool, invert);
    QFETCH(Level, level);
    const PageBytes pages =
        ImageConverter::convert(image, options(Size::Fit, Method::Threshold, threshold, invert));
    PageBytes want;
    for (int x = 0; x < 160; ++x)
        want.set(0, x, (level(x) > threshold) != invert ? 0xFF : 0);
    for (int p = 1; p < 16; ++p)
        for (int x = 0; x < 160; ++x)
            want.set(p, x, want.at(0, x));
    QVERIFY2(pages == want, "\n" + picture(pages, {0, 0, 160, 2}));
}

void TestImageConverter::ditheringKeepsBrightness_data() {
    QTest::addColumn<Method>("method");
    QTest::addColumn<int>("level");
    // sRGB 188 is half the light of white, 137 a quarter.
    QTest::newRow("Floyd-Steinberg, 50%") << Method::FloydSteinberg << 188;
    QTest::newRow("Floyd-Steinberg, 25%") << Method::FloydSteinberg << 137;
    QTest::newRow("Atkinson, 50%") << Method::Atkinson << 188;
}

void TestImageConverter::ditheringKeepsBrightness() {
    QFETCH(Method, method);
    QFETCH(int, level);
    const PageBytes pages =
        ImageConverter::convert(grey({320, 256}, level), options(Size::Fit, method, {}));
    int count = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 160; ++x)
            count += lit(pages, x, y);
    const double share = count / (160.0 * 128.0);
    const double want = Srgb::toLinear(level);
    QVERIFY2(std::abs(share - want) <= 0.02, qPrintable(QStringLiteral("%1 lit, wanted %2\n%3")
                                                            .arg(share)
                                                            .arg(want)
                                                            .arg(picture(pages, {0, 0, 64, 8}))));
}

void TestImageConverter::bayerPatterns_data() {
    QTest::addColumn<Method>("method");
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("cell"); // the pattern repeated all over the screen
    QTest::newRow("4x4, 25%") << Method::Bayer4 << 137 << QByteArray("#.#.\n....\n#.#.\n....\n");
    QTest::newRow("4x4, 50%") << Method::Bayer4 << 188 << QByteArray("#.#.\n.#.#\n#.#.\n.#.#\n");
    QTest::newRow("4x4, 6 of 16") << Method::Bayer4 << 160
                                  << QByteArray("#.#.\n.#..\n#.#.\n...#\n");
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
        ImageConverter::convert(grey({160, 128}, level), options(Size::Fit, method, {}));
    for (int y = 0; y < 128; y += side)
        for (int x = 0; x < 160; x += side)
            QCOMPARE(picture(pages, {x, y, side, side}), cell);
}

void TestImageConverter::placesThePicture_data() {
    QTest::addColumn<QImage>("image");
    QTest::addColumn<Size>("size");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<QRect>("litArea"); // every other pixel unlit

    QTest::newRow("Fit 320x128: bands above and below")
        << grey({320, 128}, 255) << Size::Fit << false << QRect(0, 32, 160, 64);
    QTest::newRow("Fit 320x128 black, inverted: the bands stay empty")
        << grey({320, 128}, 0) << Size::Fit << true << QRect(0, 32, 160, 64);
    // Black left half: Fill doubles it and keeps its middle 80 columns, 40 of them white.
    QImage split = grey({320, 64}, 255);
    QPainter(&split).fillRect(0, 0, 160, 64, Qt::black);
    QTest::newRow("Fill 320x64 crops the sides")
        << split << Size::Fill << false << QRect(80, 0, 80, 128);
    QTest::newRow("Stretch 320x64") << split << Size::Stretch << false << QRect(80, 0, 80, 128);
    QTest::newRow("Original 320x64, centred")
        << split << Size::Original << false << QRect(80, 32, 80, 64);
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
    // Every threshold between two greys splits them alike: the middle one is taken.
    QTest::newRow("black and white") << twoGreys(0, 255, 50) << 127;
    QTest::newRow("50 and 200, few light") << twoGreys(50, 200, 10) << 124;
    QTest::newRow("one grey") << grey({10, 10}, 90) << 127;
}

void TestImageConverter::otsuSplitsTheGreys() {
    QFETCH(QImage, image);
    QFETCH(int, threshold);
    QCOMPARE(ImageConverter::otsuThreshold(image), threshold);
    // Without a threshold, conversion takes this one.
    QVERIFY(ImageConverter::convert(image, options(Size::Fill, Method::Threshold, {})) ==
            ImageConverter::convert(image, options(Size::Fill, Method::Threshold, threshold)));
}

void TestImageConverter::convertsColourSpacesInStrips_data() {
    QTest::addColumn<QImage>("image");
    for (const auto format :
         {QImage::Format_RGB32, QImage::Format_Grayscale8, QImage::Format_RGBA64}) {
        QImage image(2000, 1600, format);
        image.fill(qRgb(128, 128, 128));
        image.setColorSpace(QColorSpace::SRgbLinear);
        QTest::addRow("format %d", int(format)) << image;
    }
}

// A picture in another colour space (here linear light, as a PNG with a gamma of 1.0 gives it)
// is converted to sRGB a strip of rows at a time: a large picture is never copied whole.
void TestImageConverter::convertsColourSpacesInStrips() {
#ifndef __SANITIZE_ADDRESS__
    QSKIP("needs the address sanitizer's allocation hooks (VANTREL_SANITIZE)");
#else
    QFETCH(QImage, image);
    static const int hooked =
        __sanitizer_install_malloc_and_free_hooks(noteAllocation, [](const volatile void*) {});
    QVERIFY(hooked != 0);
    largestAllocation = 0;
    watching = true;
    const PageBytes pages =
        ImageConverter::convert(image, options(Size::Fit, Method::Threshold, 150));
    watching = false;
    // Grey 128 in linear light is half of white's light, grey 188 in sRGB: above 150.
    QCOMPARE(picture(pages).count('#'), 160 * 128);
    QVERIFY2(largestAllocation < std::size_t(image.sizeInBytes()) / 4,
             qPrintable(QStringLiteral("%1 bytes allocated at once").arg(largestAllocation)));
#endif
}

// Screens of a colour ramp with a half-transparent corner as made before brightness and
// contrast existed (first 16 hex digits of their SHA-256): the defaults change no byte.
void TestImageConverter::defaultAdjustmentChangesNoByte_data() {
    QTest::addColumn<ConversionOptions>("options");
    QTest::addColumn<QByteArray>("sha256");
    QTest::newRow("Threshold") << options(Size::Fit, Method::Threshold, {})
                               << QByteArray("08d1a8555a449b5c");
    QTest::newRow("90, inverted") << options(Size::Fill, Method::Threshold, 90, true)
                                  << QByteArray("579ee678fa5c4109");
    QTest::newRow("Floyd") << options(Size::Stretch, Method::FloydSteinberg, {})
                           << QByteArray("2c717ff342f46d2e");
}

void TestImageConverter::defaultAdjustmentChangesNoByte() {
    QFETCH(ConversionOptions, options);
    QFETCH(QByteArray, sha256);
    QImage image(233, 151, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(
                x, y,
                qRgba(x * 255 / 232, y * 255 / 150, x * y % 256, x < 40 && y < 40 ? 128 : 255));
    const PageBytes pages = ImageConverter::convert(image, options);
    QByteArray bytes;
    for (int p = 0; p < 16; ++p)
        for (int x = 0; x < 160; ++x)
            bytes += char(pages.at(p, x));
    QCOMPARE(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16), sha256);
}

// Flat greys: 137 has a quarter of white's light, 187 and 188 lie just below and above half.
void TestImageConverter::brightnessAndContrast_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<Method>("method");
    QTest::addColumn<int>("threshold"); // Threshold only
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("contrast");
    QTest::addColumn<double>("litShare");
    const Method floyd = Method::FloydSteinberg;
    QTest::newRow("white, -100") << 255 << floyd << 0 << -100 << 0 << 0.0;
    QTest::newRow("black, 50") << 0 << floyd << 0 << 50 << 0 << 0.5;
    QTest::newRow("white, -50") << 255 << Method::Bayer8 << 0 << -50 << 0 << 0.5;
    QTest::newRow("black, 50, above 187") << 0 << Method::Threshold << 187 << 50 << 0 << 1.0;
    QTest::newRow("black, 50, not above 188") << 0 << Method::Threshold << 188 << 50 << 0 << 0.0;
    QTest::newRow("188, contrast 100") << 188 << floyd << 0 << 0 << 100 << 1.0;
    QTest::newRow("187, contrast 100") << 187 << Method::Atkinson << 0 << 0 << 100 << 0.0;
    QTest::newRow("20, contrast -100") << 20 << floyd << 0 << 0 << -100 << 0.5;
    QTest::newRow("137, contrast 50") << 137 << floyd << 0 << 0 << 50 << 0.0;
    QTest::newRow("137, contrast -50") << 137 << floyd << 0 << 0 << -50 << 0.397;
    QTest::newRow("brightness first") << 188 << floyd << 0 << -50 << 100 << 0.0;
}

void TestImageConverter::brightnessAndContrast() {
    QFETCH(int, level);
    QFETCH(Method, method);
    QFETCH(int, threshold);
    QFETCH(int, brightness);
    QFETCH(int, contrast);
    QFETCH(double, litShare);
    ConversionOptions o = options(Size::Fit, method, threshold);
    o.brightness = brightness;
    o.contrast = contrast;
    const PageBytes pages = ImageConverter::convert(grey({160, 128}, level), o);
    const double share = picture(pages).count('#') / (160.0 * 128.0);
    QVERIFY2(std::abs(share - litShare) <= 0.01, qPrintable(QString::number(share)));
}

QTEST_GUILESS_MAIN(TestImageConverter)
#include "tst_imageconverter.moc"
