#pragma once
// Counting what the virtual board shows.

#include "display/BoardModel.h"
#include "protocol/CommandCode.h"

// The number of lit pixels of the whole display.
inline int litPixels(const display::BoardModel& m) {
    int n = 0;
    for (int y = 0; y < protocol::kRows; ++y)
        for (int x = 0; x < protocol::kColumns; ++x)
            n += m.pixel(x, y) ? 1 : 0;
    return n;
}
