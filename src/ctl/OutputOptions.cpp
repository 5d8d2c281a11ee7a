#include "ctl/OutputOptions.h"

#include "ctl/Arguments.h"

#include <QFileInfo>

namespace ctl {

QString OutputOptions::arrayName() const {
    if (!name.isEmpty() || toStandardOutput())
        return name;
    return QFileInfo(path).completeBaseName();
}

bool OutputOptions::isOption(const QString& word, bool& takesValue) {
    for (const char* valued : {"--output", "--format", "--scale", "--name"}) {
        const QLatin1String option(valued);
        if (word == option) {
            takesValue = true;
            return true;
        }
        if (word.startsWith(option + u'=')) {
            takesValue = false;
            return true;
        }
    }
    takesValue = false;
    return word == QStringLiteral("--plain") || word == QStringLiteral("--force");
}

std::optional<OutputOptions> OutputOptions::take(Arguments& a) {
    OutputOptions o;
    const auto path = a.option(QStringLiteral("--output"));
    const auto format = a.option(QStringLiteral("--format"));
    const auto scale = a.option(QStringLiteral("--scale"));
    const auto name = a.option(QStringLiteral("--name"));
    o.plain = a.flag(QStringLiteral("--plain"));
    o.force = a.flag(QStringLiteral("--force"));
    if (a.failed())
        return std::nullopt;
    if (!path || path->isEmpty()) {
        a.fail(QStringLiteral("--output FILE is missing (- for standard output)"));
        return std::nullopt;
    }
    o.path = *path;
    const auto chosen = format ? ScreenFileFormats::ofPath(QStringLiteral("screen.") + *format)
                               : ScreenFileFormats::ofPath(o.path);
    if (!chosen) {
        a.fail(format ? QStringLiteral("--format must be one of %1, not \"%2\"")
                            .arg(ScreenFileFormats::extensionList().remove(u'.'), *format)
               : o.toStandardOutput()
                   ? QStringLiteral("--output - needs --format (%1)")
                         .arg(ScreenFileFormats::extensionList().remove(u'.'))
                   : ScreenFileFormats::unknownExtension(o.path));
        return std::nullopt;
    }
    o.format = *chosen;
    const bool png = ScreenFileFormats::showsGlass(o.format);
    if (scale) {
        if (!png) {
            a.fail(QStringLiteral("--scale is for PNG only: the other formats hold the display "
                                  "memory, one bit a pixel"));
            return std::nullopt;
        }
        const auto n = a.number(*scale, QStringLiteral("--scale"), 1, kMaxScale);
        if (!n)
            return std::nullopt;
        o.scale = *n;
    }
    if (o.plain && !png) {
        a.fail(QStringLiteral("--plain is for PNG only: the other formats have no colours"));
        return std::nullopt;
    }
    if (name) {
        if (png || o.format == ScreenFileFormat::Bmp || o.format == ScreenFileFormat::Bin) {
            a.fail(QStringLiteral("--name is for the C and XBM formats (.h, .c, .xbm) only"));
            return std::nullopt;
        }
        o.name = *name;
    }
    if (!o.force && !o.toStandardOutput() && QFileInfo::exists(o.path)) {
        a.fail(QStringLiteral("%1 exists; give --force to replace it").arg(o.path));
        return std::nullopt;
    }
    return o;
}

} // namespace ctl
