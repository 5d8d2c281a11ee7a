#include "ctl/PictureOptions.h"

#include "ctl/Arguments.h"
#include "picture/LightAdjustment.h"

namespace ctl {

namespace {

std::optional<int> adjustment(Arguments& a, const char* name) {
    const QString option = QLatin1String(name);
    const auto text = a.option(option);
    if (!text)
        return 0;
    return a.number(*text, option, LightAdjustment::kMinimum, LightAdjustment::kMaximum);
}

} // namespace

PictureOptions parsePictureOptions(Arguments& a) {
    PictureOptions options;
    using Size = PictureOptions::Size;
    const std::pair<const char*, Size> sizes[] = {{"--fit", Size::Fit},
                                                  {"--fill", Size::Fill},
                                                  {"--stretch", Size::Stretch},
                                                  {"--original", Size::Original}};
    int sizesGiven = 0;
    for (const auto& [name, size] : sizes) {
        if (a.flag(QLatin1String(name))) {
            options.size = size;
            ++sizesGiven;
        }
    }
    options.invert = a.flag(QStringLiteral("--invert"));
    const auto threshold = a.option(QStringLiteral("--threshold"));
    const auto dither = a.option(QStringLiteral("--dither"));
    const auto brightness = adjustment(a, "--brightness");
    const auto contrast = adjustment(a, "--contrast");
    if (sizesGiven > 1)
        a.fail(QStringLiteral("give one of --fit, --fill, --stretch and --original"));
    if (threshold && dither)
        a.fail(QStringLiteral("--threshold and --dither exclude each other"));
    if (threshold)
        options.threshold = a.number(*threshold, QStringLiteral("--threshold"), 0, 255);
    if (dither) {
        using Method = PictureOptions::Method;
        const auto method = a.choice(*dither, QStringLiteral("--dither"),
                                     {QStringLiteral("floyd"), QStringLiteral("atkinson"),
                                      QStringLiteral("bayer4"), QStringLiteral("bayer8")});
        const Method methods[] = {Method::FloydSteinberg, Method::Atkinson, Method::Bayer4,
                                  Method::Bayer8};
        if (method)
            options.method = methods[*method];
    }
    options.brightness = brightness.value_or(0);
    options.contrast = contrast.value_or(0);
    return options;
}

} // namespace ctl
