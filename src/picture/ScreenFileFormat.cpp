#include "picture/ScreenFileFormat.h"

#include <QFileInfo>

namespace {

struct Extension {
    const char* suffix;
    ScreenFileFormat format;
    const char* filter;
};

constexpr Extension kExtensions[] = {
    {"png", ScreenFileFormat::Png, "PNG picture of the glass (*.png)"},
    {"bmp", ScreenFileFormat::Bmp, "One-bit BMP (*.bmp)"},
    {"bin", ScreenFileFormat::Bin, "Page bytes, 2,560 in upload order (*.bin)"},
    {"h", ScreenFileFormat::CHeader, "C header (*.h)"},
    {"c", ScreenFileFormat::CSource, "C source (*.c)"},
    {"xbm", ScreenFileFormat::Xbm, "X bitmap (*.xbm)"},
};

} // namespace

std::optional<ScreenFileFormat> ScreenFileFormats::ofPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const Extension& e : kExtensions)
        if (suffix == QLatin1String(e.suffix))
            return e.format;
    return std::nullopt;
}

QString ScreenFileFormats::extensionList() {
    QStringList names;
    for (const Extension& e : kExtensions)
        names << u'.' + QLatin1String(e.suffix);
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString ScreenFileFormats::unknownExtension(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    return (suffix.isEmpty() ? QStringLiteral("%1 has no extension to choose its format by")
                                   .arg(path)
                             : QStringLiteral("%1: no screen format is written as .%2")
                                   .arg(path, suffix)) +
           QStringLiteral("; give it %1").arg(extensionList());
}

QString ScreenFileFormats::dialogFilters() {
    QStringList patterns;
    QStringList filters;
    for (const Extension& e : kExtensions) {
        patterns << QStringLiteral("*.") + QLatin1String(e.suffix);
        filters << QLatin1String(e.filter);
    }
    return QStringLiteral("Screen files (%1);;").arg(patterns.join(u' ')) +
           filters.join(QStringLiteral(";;"));
}
