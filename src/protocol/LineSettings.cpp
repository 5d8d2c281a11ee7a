#include "protocol/LineSettings.h"

#include "protocol/BaudRates.h"

#include <QStringList>

namespace protocol {

std::optional<LineSettings> LineSettings::ofRateIndex(int rateIndex) {
    const int baud = baudOfIndex(rateIndex);
    if (baud == 0)
        return std::nullopt;
    return LineSettings{baud};
}

std::optional<LineSettings> LineSettings::fromText(const QString& text) {
    const QStringList fields = text.split(u',');
    if (fields.size() != 4)
        return std::nullopt;
    bool ok = false;
    const int baud = fields[0].toInt(&ok);
    if (!ok || baud <= 0 || fields[1] != QStringLiteral("N") || fields[2] != QStringLiteral("8") ||
        fields[3] != QStringLiteral("1"))
        return std::nullopt;
    return LineSettings{baud};
}

QString LineSettings::text() const {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baud)
        .arg(QChar::fromLatin1(parity))
        .arg(dataBits)
        .arg(stopBits);
}

} // namespace protocol
