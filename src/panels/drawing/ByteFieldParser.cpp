#include "panels/drawing/ByteFieldParser.h"

std::optional<std::uint8_t> ByteFieldParser::parse(const QString& text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        // Stopping here also keeps arbitrarily long input from overflowing.
        if (value > kMaximum)
            return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}
