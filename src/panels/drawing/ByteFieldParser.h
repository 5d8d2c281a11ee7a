#pragma once
// Turns the text of a coordinate field into the one byte the board expects.
//
// Accepted: plain decimal digits 0-9 with optional blanks around them and any number of leading
// zeros ("007" is 7, " 12 " is 12), value 0 to 255. Everything else is refused rather than
// guessed at: an empty field, a sign, a fraction, a comma, letters, other scripts' digits, and any
// value above 255 however large (it is never wrapped into a smaller byte).

#include <QString>
#include <cstdint>
#include <optional>

class ByteFieldParser {
public:
    static constexpr int kMaximum = 255;

    static std::optional<std::uint8_t> parse(const QString& text);
};
