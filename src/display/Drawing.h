#pragma once
// The board's drawing primitives on the display memory. Coordinates may lie anywhere (the
// commands carry 0..255); what falls outside the display is clipped pixel by pixel.

#include "display/Memory.h"
#include "protocol/CommandCode.h"

namespace display {

// A straight line from (x1, y1) to (x2, y2), both ends included; `on` sets, otherwise clears.
void drawLine(Memory& memory, int x1, int y1, int x2, int y2, bool on);

// A line, an outline, a filled area or a reversed area between two corners. `draw` sets the
// pixels, otherwise clears them; a reversed area is reversed either way. False for a figure
// the board does not know (nothing is drawn).
bool drawFigure(Memory& memory, protocol::Figure figure, int x1, int y1, int x2, int y2, bool draw);

// The outline of a circle.
void drawCircle(Memory& memory, int radius, int centreX, int centreY, bool on);

} // namespace display
