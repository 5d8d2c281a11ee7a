#include "ctl/FileError.h"

#include <QRegularExpression>

namespace ctl {

namespace {

// A sentence of the window's made a clause: no full stop, the first letter lowered unless the
// word is an abbreviation ("JPEG").
QString clause(QString text) {
    text = text.trimmed();
    if (text.endsWith(u'.'))
        text.chop(1);
    if (text.size() > 1 && text[0].isUpper() && !text[1].isUpper())
        text[0] = text[0].toLower();
    return text;
}

} // namespace

QString FileError::cannotRead(const QString& shown, const QString& cause) {
    return QStringLiteral("cannot read %1: %2").arg(shown, clause(cause));
}

QString FileError::tooLarge(const QString& shown, qint64 maxBytes, const QString& what) {
    return cannotRead(shown, QStringLiteral("it holds more than %1 MB, the most %2 may hold")
                                 .arg(maxBytes / (1024 * 1024))
                                 .arg(what));
}

QString FileError::fromPicture(const QString& shown, const QString& reason) {
    static const QRegularExpression unreadable(QStringLiteral("^it cannot be read \\((.*)\\)\\.?$"));
    const QRegularExpressionMatch match = unreadable.match(reason);
    if (match.hasMatch())
        return cannotRead(shown, match.captured(1));
    return QStringLiteral("cannot use %1: %2").arg(shown, clause(reason));
}

QString FileError::shown(const QString& path) {
    return path == QStringLiteral("-") ? QStringLiteral("standard input") : path;
}

} // namespace ctl
