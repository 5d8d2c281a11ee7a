#include "display/Drawing.h"

#include <algorithm>
#include <cstdlib>

namespace display {

using protocol::Figure;
using protocol::kColumns;
using protocol::kRows;

void drawLine(Memory& memory, int x1, int y1, int x2, int y2, bool on) {
    // Bresenham over the whole line; pixels off the display are skipped one by one.
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        setPixel(memory, x1, y1, on);
        if (x1 == x2 && y1 == y2)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

bool drawFigure(Memory& memory, Figure figure, int x1, int y1, int x2, int y2, bool draw) {
    const int left = std::min(x1, x2);
    const int right = std::max(x1, x2);
    const int top = std::min(y1, y2);
    const int bottom = std::max(y1, y2);
    switch (figure) {
    case Figure::Line:
        drawLine(memory, x1, y1, x2, y2, draw);
        return true;
    case Figure::Outline:
        drawLine(memory, left, top, right, top, draw);
        drawLine(memory, left, bottom, right, bottom, draw);
        drawLine(memory, left, top, left, bottom, draw);
        drawLine(memory, right, top, right, bottom, draw);
        return true;
    case Figure::Filled:
    case Figure::Reversed: {
        // Clip first: the loops then touch only the display.
        const int x0 = std::max(left, 0);
        const int xe = std::min(right, kColumns - 1);
        const int y0 = std::max(top, 0);
        const int ye = std::min(bottom, kRows - 1);
        for (int y = y0; y <= ye; ++y)
            for (int x = x0; x <= xe; ++x) {
                if (figure == Figure::Filled)
                    setPixel(memory, x, y, draw);
                else
                    flipPixel(memory, x, y);
            }
        return true;
    }
    }
    return false;
}

void drawCircle(Memory& memory, int radius, int centreX, int centreY, bool on) {
    // Midpoint circle: each step sets the eight symmetric points.
    int x = radius;
    int y = 0;
    int err = 1 - radius;
    while (x >= y) {
        const int points[8][2] = {{x, y},   {y, x},   {-y, x}, {-x, y},
                                  {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
        for (const auto& p : points)
            setPixel(memory, centreX + p[0], centreY + p[1], on);
        ++y;
        if (err < 0) {
            err += 2 * y + 1;
        } else {
            --x;
            err += 2 * (y - x) + 1;
        }
    }
}

} // namespace display
