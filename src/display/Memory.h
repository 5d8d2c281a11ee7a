#pragma once
// The display memory: 16 pages of 160 page bytes; a page byte is one column of eight pixel rows,
// bit 0 the top row. Pixel (x, y) is bit y % 8 of page byte (y / 8, x). Pixels off the display
// read as dark and are never written.

#include "protocol/CommandCode.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace display {

// [page * protocol::kColumns + column], the order an upload sends them in.
using Memory = std::array<std::uint8_t, protocol::kPages * protocol::kColumns>;

inline std::size_t byteIndex(int page, int column) {
    return std::size_t(page) * protocol::kColumns + std::size_t(column);
}

inline bool onDisplay(int x, int y) {
    return x >= 0 && x < protocol::kColumns && y >= 0 && y < protocol::kRows;
}

inline bool pixelOf(const Memory& memory, int x, int y) {
    return onDisplay(x, y) && ((memory[byteIndex(y / 8, x)] >> (y % 8)) & 1u);
}

inline void setPixel(Memory& memory, int x, int y, bool on) {
    if (!onDisplay(x, y))
        return;
    std::uint8_t& b = memory[byteIndex(y / 8, x)];
    const auto bit = std::uint8_t(1u << (y % 8));
    b = on ? std::uint8_t(b | bit) : std::uint8_t(b & ~bit);
}

inline void flipPixel(Memory& memory, int x, int y) {
    if (onDisplay(x, y))
        memory[byteIndex(y / 8, x)] ^= std::uint8_t(1u << (y % 8));
}

} // namespace display
