#pragma once
// The line's settings as one plain value: rate, parity, data bits, stop bits. The serial
// service's `Settings` surface is the text "9600,N,8,1"; this is the one place that makes and
// reads that text.

#include <QString>
#include <optional>

namespace protocol {

struct LineSettings {
    int baud = 9600;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;

    // The board's line at rate index 0..8; none for another index.
    static std::optional<LineSettings> ofRateIndex(int rateIndex);
    // "9600,N,8,1" -> {9600, 'N', 8, 1}; none for text of another shape or a line the board
    // cannot run (it runs no parity, 8 data bits, 1 stop bit only).
    static std::optional<LineSettings> fromText(const QString& text);
    QString text() const;

    bool operator==(const LineSettings&) const = default;
};

} // namespace protocol
