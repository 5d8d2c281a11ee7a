#include "display/Text.h"

#include <algorithm>

namespace display {

using protocol::kColumns;
using protocol::kPages;

namespace {

constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kBackspace = 0x08;

void newTextLine(WritePosition& at, int font) {
    const int pages = BoardFonts::pages(font);
    at.column = 0;
    at.page += pages;
    if (at.page + pages > kPages)
        at.page = 0;
}

} // namespace

void drawGlyph(Memory& memory, int font, int page, int column, const BoardFonts::Glyph& glyph) {
    const int pages = BoardFonts::pages(font);
    for (int i = 0; i < glyph.width && column + i < kColumns; ++i)
        for (int k = 0; k < pages && page + k < kPages; ++k)
            memory[byteIndex(page + k, column + i)] =
                std::uint8_t((glyph.columns[i] >> (8 * k)) & 0xFFu);
}

bool putChar(Memory& memory, WritePosition& at, int font, std::uint8_t character) {
    if (character == kCarriageReturn) {
        newTextLine(at, font);
    } else if (character == kBackspace) {
        at.column = std::max(0, at.column - BoardFonts::cellWidth(font));
        drawGlyph(memory, font, at.page, at.column, BoardFonts::glyph(font, ' '));
    } else if (character < 0x20) {
        return false;
    } else {
        const BoardFonts::Glyph g = BoardFonts::glyph(font, character);
        if (at.column + g.width > kColumns)
            newTextLine(at, font);
        drawGlyph(memory, font, at.page, at.column, g);
        at.column += g.width;
        if (at.column >= kColumns)
            newTextLine(at, font);
    }
    return true;
}

Memory fontSheet(int font) {
    Memory sheet{};
    const int pages = BoardFonts::pages(font);
    WritePosition at;
    for (int code = 0x20; code <= 0xFF; ++code) {
        if (!BoardFonts::hasGlyph(font, std::uint8_t(code)))
            continue;
        const BoardFonts::Glyph g = BoardFonts::glyph(font, std::uint8_t(code));
        if (at.column + g.width > kColumns) {
            at.column = 0;
            at.page += pages;
        }
        if (at.page + pages > kPages)
            break;
        drawGlyph(sheet, font, at.page, at.column, g);
        at.column += g.width;
    }
    return sheet;
}

} // namespace display
