#include "protocol/BaudRates.h"

#include <array>

namespace protocol {
namespace {
constexpr std::array<int, kRateCount> kRates{2400,  4800,  9600,  14400, 19200,
                                             28800, 38400, 57600, 115200};
}

int baudOfIndex(int i) {
    return i >= 0 && i < kRateCount ? kRates[std::size_t(i)] : 0;
}

std::optional<int> indexOfRateText(const QString& text) {
    const QString t = text.trimmed();
    for (int i = 0; i < kRateCount; ++i)
        if (t == QString::number(kRates[std::size_t(i)]))
            return i;
    return std::nullopt;
}

QStringList rateTexts() {
    QStringList texts;
    for (int rate : kRates)
        texts << QString::number(rate);
    return texts;
}

QString settingsText(int i) {
    if (i < 0 || i >= kRateCount)
        return {};
    return QString::number(kRates[std::size_t(i)]) + QStringLiteral(",N,8,1");
}

std::optional<int> baudOfSettings(const QString& settings) {
    const QStringList fields = settings.split(u',');
    if (fields.size() != 4)
        return std::nullopt;
    bool ok = false;
    const int baud = fields[0].toInt(&ok);
    if (!ok || baud <= 0 || fields[1] != QStringLiteral("N") || fields[2] != QStringLiteral("8") ||
        fields[3] != QStringLiteral("1"))
        return std::nullopt;
    return baud;
}

} // namespace protocol
