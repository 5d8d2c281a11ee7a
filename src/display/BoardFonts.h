#pragma once
// The board's four built-in bitmap fonts: 7, 14, 14 bold and 22 pixel rows.
//
// The glyph data is generated once from the public-domain misc-fixed fonts (see fonts/README)
// and compiled in, so every machine draws the same pixels. Character codes are single bytes read
// as Windows-1252, the code page the program's keys arrive in.

#include "protocol/CommandTable.h"

#include <cstdint>

namespace display {

class BoardFonts {
public:
    static constexpr int kFontCount = protocol::kFontCount;

    // One glyph: `width` columns, each holding the glyph's rows with bit 0 the top row.
    struct Glyph {
        int width = 0;
        const std::uint32_t* columns = nullptr;
    };

    // Fonts are numbered 1..4 as in SelectFont; other numbers give font 1.
    static int rows(int font);
    // Display pages one text line of the font takes (rows rounded up to whole pages).
    static int pages(int font);
    // Width of the font's cell (the space glyph); every font is monospaced.
    static int cellWidth(int font);
    static const char* name(int font); // "7 pixel", "14 pixel", "14 pixel bold", "22 pixel"

    // The glyph of a byte. Bytes without a glyph (controls, unassigned codes) get an outlined
    // box of the cell's size.
    static Glyph glyph(int font, std::uint8_t code);
    static bool hasGlyph(int font, std::uint8_t code);
};

} // namespace display
