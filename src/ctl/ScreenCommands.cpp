#include "ctl/ScreenCommands.h"

#include "ctl/Arguments.h"
#include "ctl/LoadedPicture.h"
#include "ctl/ParseCommands.h"
#include "picture/ConversionText.h"

namespace ctl {

QString ScreenCommands::parseRender(QList<QStringList> groups, CommandParser& parser,
                                    Invocation& run) {
    // render's own options come first; the first command's words follow them.
    QStringList first = groups.takeFirst();
    first.removeFirst();
    QStringList options;
    while (!first.isEmpty()) {
        bool takesValue = false;
        if (!OutputOptions::isOption(first.first(), takesValue))
            break;
        options << first.takeFirst();
        if (takesValue && !first.isEmpty())
            options << first.takeFirst();
    }
    Arguments a(options, QLatin1String(kRenderUsage));
    const std::optional<OutputOptions> output = OutputOptions::take(a);
    if (!output)
        return QStringLiteral("render: ") + a.error();
    run.output = *output;
    if (!first.isEmpty())
        groups.prepend(first);
    if (groups.isEmpty())
        return QStringLiteral("render: a command is missing (usage: %1)")
            .arg(QLatin1String(kRenderUsage));
    for (const QStringList& words : std::as_const(groups)) {
        const ParsedCommands parsed = parser.parse(words);
        if (!parsed.ok())
            return parsed.error;
        run.commands << parsed.commands;
    }
    // Checked after the scripts are read: a command inside one is refused as well.
    for (qsizetype i = 0; i < run.commands.size(); ++i) {
        const Command command = run.commands.at(i);
        if (command.action == Command::Action::Identify ||
            command.action == Command::Action::Listen)
            return QStringLiteral("%1: render runs without a board, so nothing can answer")
                .arg(command.label());
    }
    run.mode = Invocation::Mode::Render;
    return {};
}

QString ScreenCommands::parseConvert(const QStringList& words, CommandParser& parser,
                                     Invocation& run) {
    Arguments a(words.mid(1), QLatin1String(kConvertUsage));
    const std::optional<OutputOptions> output = OutputOptions::take(a);
    const std::optional<PictureOptions> options =
        output ? std::optional<PictureOptions>(parsePictureOptions(a)) : std::nullopt;
    const auto image = a.positionals(1, 1);
    if (!output || !options || !image)
        return QStringLiteral("convert: ") + a.error();
    const LoadedPicture picture = loadPicture(image->at(0), *options, parser);
    if (!picture.ok())
        return QStringLiteral("convert: ") + picture.error;
    run.mode = Invocation::Mode::Convert;
    run.output = *output;
    run.converted = std::make_shared<const engine::Screen>(picture.screen());
    run.convertedFrom = image->at(0);
    // A one-bit BMP goes as it is only without options (PictureFile::load).
    run.conversion = *options == PictureOptions{} && PictureFile::open(image->at(0)).width > 0
                         ? ConversionText::oneBitAsItIs()
                         : ConversionText::of(*options);
    return {};
}

} // namespace ctl
