#pragma once
// The line's settings as one plain value: rate, parity, data bits, stop bits. The serial
// service's `Settings` surface is the text "9600,N,8,1"; this is the one place that makes and
// reads that text.

#include <QString>
#include <cstdint>
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
    // The board runs no parity, 8 data bits, 1 stop bit only, at a positive rate.
    bool boardRuns() const { return baud > 0 && parity == 'N' && dataBits == 8 && stopBits == 1; }

    // One byte on the line is a frame of 10 bits: start bit, 8 data bits, stop bit.
    static constexpr int kBitsPerFrame = 10;
    // The time `bytes` frames take on the line, in nanoseconds, rounded to the nearest.
    std::int64_t bytesNs(std::int64_t bytes) const {
        return (bytes * kBitsPerFrame * 1'000'000'000 + baud / 2) / baud;
    }
    std::int64_t frameNs() const { return bytesNs(1); }

    bool operator==(const LineSettings&) const = default;
};

} // namespace protocol
