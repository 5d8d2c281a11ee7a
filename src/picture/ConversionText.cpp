#include "picture/ConversionText.h"

QString ConversionText::oneBitAsItIs() {
    return QStringLiteral("a one-bit BMP, taken as it is (as an upload sends it)");
}

QString ConversionText::of(const ConversionOptions& options) {
    using Size = ConversionOptions::Size;
    using Method = ConversionOptions::Method;
    static_assert(int(Size::Original) == 3 && int(Method::Bayer8) == 4);
    const char* sizes[] = {"fit to the screen", "filling the screen", "stretched to the screen",
                           "original size, centred"};
    const char* methods[] = {"threshold", "Floyd-Steinberg dithering", "Atkinson dithering",
                             "Bayer 4x4 dithering", "Bayer 8x8 dithering"};
    QString text = QLatin1String(sizes[int(options.size)]) + QStringLiteral(", ");
    if (options.method == Method::Threshold)
        text += options.threshold ? QStringLiteral("threshold %1").arg(*options.threshold)
                                  : QStringLiteral("threshold chosen by Otsu's method");
    else
        text += QLatin1String(methods[int(options.method)]);
    if (options.brightness != 0)
        text += QStringLiteral(", brightness %1").arg(options.brightness);
    if (options.contrast != 0)
        text += QStringLiteral(", contrast %1").arg(options.contrast);
    if (options.invert)
        text += QStringLiteral(", inverted");
    return text;
}
