#pragma once
// The glass as an image. Every picture of the board's screen is painted here: the virtual board's
// LCD, the window's mirror and `vantrelctl render`, so that they cannot differ in a pixel or a
// colour. Which pixels are lit comes from display::glassOf(); this adds only the colours.

#include <QImage>

namespace display {
class BoardModel;
class Glass;
} // namespace display

struct GlassColours {
    QRgb lit;
    QRgb unlit;
};

// The board's blue-negative panel: a lit pixel pale cyan rgb(192,255,255) on blue rgb(0,0,255)
// at the default contrast.
inline constexpr GlassColours kBoardColours{0xFFC0FFFF, 0xFF0000FF};
// A lit pixel black on white, for printing and for reviews.
inline constexpr GlassColours kPlainColours{0xFF000000, 0xFFFFFFFF};

// The board's colours as the model's contrast, LCD power and backlight make them.
GlassColours boardColours(const display::BoardModel& model);

// The glass at an integer scale (clamped to 1..16). With `gaps` and a scale of 3 or more, a thin
// darker line parts the pixels, as on the glass itself.
QImage glassImage(const display::Glass& glass, GlassColours colours, int scale, bool gaps = false);
