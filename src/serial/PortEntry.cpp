#include "serial/PortEntry.h"

#include <QStringList>

QString PortEntry::label() const {
    if (virtualBoard)
        return QStringLiteral("%1  Virtual board  %2").arg(number).arg(resolvedPath);
    QString text = QStringLiteral("%1  %2").arg(number).arg(deviceName);
    if (!product.isEmpty())
        text += QStringLiteral("  ") + product;
    return text;
}

QString PortEntry::toolTip() const {
    QStringList lines{devicePath};
    if (!resolvedPath.isEmpty() && resolvedPath != devicePath)
        lines << QStringLiteral("→ %1").arg(resolvedPath);
    if (!byIdPath.isEmpty() && byIdPath != devicePath)
        lines << byIdPath;
    return lines.join(u'\n');
}
