#include "ctl/FileError.h"

#include "ctl/Clause.h"

#include <QRegularExpression>

namespace ctl {

QString FileError::cannotRead(const QString& shown, const QString& cause) {
    return QStringLiteral("cannot read %1: %2").arg(shown, Clause::of(cause));
}

QString FileError::cannotWrite(const QString& shown, const QString& cause) {
    return QStringLiteral("cannot write %1: %2").arg(shown, Clause::of(cause));
}

QString FileError::tooLarge(const QString& shown, qint64 maxBytes, const QString& what) {
    return cannotRead(shown, QStringLiteral("it holds more than %1 MB, the most %2 may hold")
                                 .arg(maxBytes / (1024 * 1024))
                                 .arg(what));
}

QString FileError::fromPicture(const QString& shown, const QString& reason) {
    static const QRegularExpression unreadable(
        QStringLiteral("^it cannot be read \\((.*)\\)\\.?$"));
    const QRegularExpressionMatch match = unreadable.match(reason);
    if (match.hasMatch())
        return cannotRead(shown, match.captured(1));
    return QStringLiteral("cannot use %1: %2").arg(shown, Clause::of(reason));
}

QString FileError::shown(const QString& path) {
    return path == QStringLiteral("-") ? QStringLiteral("standard input") : path;
}

} // namespace ctl
