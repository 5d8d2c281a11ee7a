#include "display/BoardFonts.h"

#include "display/fonts/FontData.h"

#include <array>

namespace display {

namespace {

constexpr int kFirstCode = 0x20;

const fontdata::Font& fontOf(int font) {
    const int index = font >= 1 && font <= BoardFonts::kFontCount ? font - 1 : 0;
    return fontdata::kFonts[index];
}

// The "no glyph" box of each font: a frame one column narrower than the cell, so that boxes
// side by side stay apart.
struct BoxGlyphs {
    std::array<std::array<std::uint32_t, 32>, BoardFonts::kFontCount> columns{};

    BoxGlyphs() {
        for (int f = 1; f <= BoardFonts::kFontCount; ++f) {
            const int rows = BoardFonts::rows(f);
            const int width = BoardFonts::cellWidth(f);
            const std::uint32_t top = 1u << 1;
            const std::uint32_t bottom = 1u << (rows - 2);
            const std::uint32_t side = ((1u << (rows - 2)) - 1u) << 1 | bottom;
            auto& c = columns[std::size_t(f - 1)];
            for (int x = 0; x < width - 1; ++x)
                c[std::size_t(x)] = (x == 0 || x == width - 2) ? side : (top | bottom);
        }
    }
};

const BoxGlyphs& boxes() {
    static const BoxGlyphs instance;
    return instance;
}

} // namespace

int BoardFonts::rows(int font) {
    return fontOf(font).rows;
}

int BoardFonts::pages(int font) {
    return (rows(font) + 7) / 8;
}

int BoardFonts::cellWidth(int font) {
    return fontOf(font).widths[0];
}

const char* BoardFonts::name(int font) {
    return fontOf(font).name;
}

bool BoardFonts::hasGlyph(int font, std::uint8_t code) {
    return code >= kFirstCode && fontOf(font).widths[code - kFirstCode] != 0;
}

BoardFonts::Glyph BoardFonts::glyph(int font, std::uint8_t code) {
    const fontdata::Font& f = fontOf(font);
    if (!hasGlyph(font, code)) {
        const int index = font >= 1 && font <= kFontCount ? font - 1 : 0;
        return {cellWidth(font), boxes().columns[std::size_t(index)].data()};
    }
    const int i = code - kFirstCode;
    return {f.widths[i], f.columns + f.offsets[i]};
}

} // namespace display
