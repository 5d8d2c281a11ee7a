// The picture upload and command files.
#include "ctl/ParseCommands.h"

#include "ctl/Arguments.h"
#include "ctl/LoadedPicture.h"

namespace ctl::parsing {

std::optional<PictureOptions> pictureOptions(Arguments& a) {
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
    if (a.failed())
        return std::nullopt;
    if (sizesGiven > 1) {
        a.fail(QStringLiteral("give one of --fit, --fill, --stretch and --original"));
        return std::nullopt;
    }
    if (threshold && dither) {
        a.fail(QStringLiteral("--threshold and --dither exclude each other"));
        return std::nullopt;
    }
    if (threshold) {
        options.threshold = a.number(*threshold, QStringLiteral("--threshold"), 0, 255);
        if (!options.threshold)
            return std::nullopt;
    }
    if (dither) {
        using Method = PictureOptions::Method;
        const auto method = a.choice(*dither, QStringLiteral("--dither"),
                                     {QStringLiteral("floyd"), QStringLiteral("atkinson"),
                                      QStringLiteral("bayer4"), QStringLiteral("bayer8")});
        if (!method)
            return std::nullopt;
        const Method methods[] = {Method::FloydSteinberg, Method::Atkinson, Method::Bayer4,
                                  Method::Bayer8};
        options.method = methods[*method];
    }
    return options;
}

void parsePicture(Arguments& a, CommandParser& parser, ParsedCommands& into) {
    const std::optional<PictureOptions> options = pictureOptions(a);
    const auto words = a.positionals(1, 1);
    if (!options || !words)
        return;
    const LoadedPicture picture = loadPicture(words->at(0), *options, parser);
    if (!picture.ok()) {
        a.fail(picture.error);
        return;
    }
    Command command;
    command.action = Command::Action::Picture;
    command.screen = parser.sharedScreen(picture.screen());
    into.commands << command;
}

void parseScript(Arguments& a, CommandParser& parser, ParsedCommands& into) {
    const auto words = a.positionals(1, 1);
    if (words)
        parser.parseScript(words->at(0), into);
}

} // namespace ctl::parsing
