#pragma once
// A picture in the display's own memory layout: 16 pages of eight pixel rows by up to 256
// columns, one byte per page and column. Bit 0 is the top row of the page, bit 7 the bottom row;
// a set bit is a lit pixel of the board.

#include "protocol/CommandCode.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>

class PageBytes {
public:
    static constexpr int kPages = protocol::kPages;
    static constexpr int kColumns = 256;

    std::uint8_t at(int page, int column) const { return bytes_[index(page, column)]; }
    void set(int page, int column, std::uint8_t value) { bytes_[index(page, column)] = value; }

    bool operator==(const PageBytes&) const = default;

private:
    static std::size_t index(int page, int column) {
        assert(page >= 0 && page < kPages && column >= 0 && column < kColumns);
        return std::size_t(page) * kColumns + std::size_t(column);
    }

    std::array<std::uint8_t, std::size_t(kPages) * kColumns> bytes_{};
};
