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

} // namespace protocol
