#pragma once
// What the virtual board shows: counting it, and the memory a whole picture gives it.

#include "display/BoardModel.h"
#include "protocol/CommandCode.h"

#include <cstddef>
#include <cstdint>

// The number of lit pixels of the whole display.
inline int litPixels(const display::BoardModel& m) {
    int n = 0;
    for (int y = 0; y < protocol::kRows; ++y)
        for (int x = 0; x < protocol::kColumns; ++x)
            n += m.pixel(x, y) ? 1 : 0;
    return n;
}

// The board's memory once a whole screen has been uploaded whose pixel (x, y) is lit where
// lit(x, y): page byte (page, x) holds rows page * 8 + 0..7, bit 0 the top one. Written out
// here rather than taken from the display model, so that a wrong layout there shows.
template <typename Lit> display::BoardModel::Memory memoryShowing(Lit lit) {
    display::BoardModel::Memory memory{};
    for (int page = 0; page < protocol::kPages; ++page)
        for (int x = 0; x < protocol::kColumns; ++x)
            for (int bit = 0; bit < protocol::kRowsPerPage; ++bit)
                if (lit(x, page * protocol::kRowsPerPage + bit))
                    memory[std::size_t(page * protocol::kColumns + x)] |= std::uint8_t(1 << bit);
    return memory;
}
