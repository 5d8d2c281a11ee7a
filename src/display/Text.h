#pragma once
// Text on the display memory: a glyph is written as whole page bytes at the write position,
// which then moves right by the glyph's width and wraps to the next text line (1, 2, 2 or 3
// pages lower for fonts 1..4; from the last line back to page 0).

#include "display/BoardFonts.h"
#include "display/Memory.h"

#include <cstdint>

namespace display {

// Where the next character or page byte goes.
struct WritePosition {
    int page = 0;
    int column = 0;
};

// Writes the columns of a glyph into whole page bytes from (page, column) on; the cell's rows
// below the glyph are blanked. What lies right of the display or below it is cut off.
void drawGlyph(Memory& memory, int font, int page, int column, const BoardFonts::Glyph& glyph);

// One byte of text in the font at the write position. 0x0D starts the next text line; 0x08 steps
// back one cell and blanks it; other control bytes (0x00..0x1F) change nothing and give false.
bool putChar(Memory& memory, WritePosition& at, int font, std::uint8_t character);

// A screen showing a font: its glyphs from the space on, line after line, as many as fit.
Memory fontSheet(int font);

} // namespace display
