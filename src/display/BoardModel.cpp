#include "display/BoardModel.h"

#include "display/BoardFonts.h"

#include <algorithm>
#include <cstdlib>

namespace display {

using protocol::CommandCode;
using protocol::Figure;
using protocol::kColumns;
using protocol::kPages;
using protocol::kRows;

namespace {

constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kBackspace = 0x08;

std::size_t indexOf(int page, int column) {
    return std::size_t(page) * kColumns + std::size_t(column);
}

// Whether `value` lies in the range the command table gives that parameter of the command.
bool accepts(CommandCode code, int value, int parameter = 0) {
    return protocol::commandInfo(code).parameters[std::size_t(parameter)].accepts(value);
}

// Writes the columns of a glyph into whole page bytes from (page, column) on; the cell's rows
// below the glyph are blanked. Pages below the display are cut off.
void drawGlyphInto(BoardModel::Memory& memory, int font, int page, int column,
                   const BoardFonts::Glyph& glyph) {
    const int pages = BoardFonts::pages(font);
    for (int i = 0; i < glyph.width && column + i < kColumns; ++i)
        for (int k = 0; k < pages && page + k < kPages; ++k)
            memory[indexOf(page + k, column + i)] =
                std::uint8_t((glyph.columns[i] >> (8 * k)) & 0xFFu);
}

// A screen showing a font: its glyphs from the space on, line after line, as many as fit.
BoardModel::Memory fontSheet(int font) {
    BoardModel::Memory sheet{};
    const int pages = BoardFonts::pages(font);
    int page = 0;
    int column = 0;
    for (int code = 0x20; code <= 0xFF; ++code) {
        if (!BoardFonts::hasGlyph(font, std::uint8_t(code)))
            continue;
        const BoardFonts::Glyph g = BoardFonts::glyph(font, std::uint8_t(code));
        if (column + g.width > kColumns) {
            column = 0;
            page += pages;
        }
        if (page + pages > kPages)
            break;
        drawGlyphInto(sheet, font, page, column, g);
        column += g.width;
    }
    return sheet;
}

} // namespace

BoardModel::BoardModel() : screens_(std::size_t(protocol::kLastScreen)) {
    // Screens 1..4 start with sheets of the fonts.
    for (int f = 1; f <= protocol::kFontCount; ++f)
        screens_[std::size_t(f - 1)] = std::make_unique<Memory>(fontSheet(f));
}

// --- display memory and write position ---

std::uint8_t BoardModel::pageByte(int page, int column) const {
    if (page < 0 || page >= kPages || column < 0 || column >= kColumns)
        return 0;
    return memory_[indexOf(page, column)];
}

bool BoardModel::pixel(int x, int y) const {
    if (x < 0 || x >= kColumns || y < 0 || y >= kRows)
        return false;
    return (memory_[indexOf(y / 8, x)] >> (y % 8)) & 1u;
}

bool BoardModel::clearDisplay(int pageOrWholeScreen) {
    if (!accepts(CommandCode::ClearDisplay, pageOrWholeScreen))
        return false;
    if (pageOrWholeScreen == protocol::kWholeScreen)
        memory_.fill(0);
    else
        std::fill_n(memory_.begin() + std::ptrdiff_t(indexOf(pageOrWholeScreen, 0)), kColumns, 0);
    changed();
    return true;
}

void BoardModel::putPattern(std::uint8_t pageByte) {
    memory_[indexOf(page_, column_)] = pageByte;
    if (++column_ == kColumns) {
        column_ = 0;
        page_ = (page_ + 1) % kPages;
    }
    changed();
}

bool BoardModel::setPage(int page) {
    if (!accepts(CommandCode::SetPage, page))
        return false;
    page_ = page;
    changed();
    return true;
}

bool BoardModel::setColumn(int column) {
    if (!accepts(CommandCode::SetColumn, column))
        return false;
    column_ = column;
    changed();
    return true;
}

// --- text ---

bool BoardModel::selectFont(int font) {
    if (!accepts(CommandCode::SelectFont, font))
        return false;
    font_ = font;
    changed();
    return true;
}

void BoardModel::newTextLine() {
    const int pages = BoardFonts::pages(font_);
    column_ = 0;
    page_ += pages;
    if (page_ + pages > kPages)
        page_ = 0;
}

void BoardModel::drawGlyph(std::uint8_t character) {
    const BoardFonts::Glyph g = BoardFonts::glyph(font_, character);
    if (column_ + g.width > kColumns)
        newTextLine();
    drawGlyphInto(memory_, font_, page_, column_, g);
    column_ += g.width;
    if (column_ >= kColumns)
        newTextLine();
}

void BoardModel::putChar(std::uint8_t character) {
    if (character == kCarriageReturn) {
        newTextLine();
    } else if (character == kBackspace) {
        const int width = BoardFonts::cellWidth(font_);
        column_ = std::max(0, column_ - width);
        const BoardFonts::Glyph blank = BoardFonts::glyph(font_, ' ');
        drawGlyphInto(memory_, font_, page_, column_, blank);
    } else if (character < 0x20) {
        return;
    } else {
        drawGlyph(character);
    }
    changed();
}

void BoardModel::drawString(const std::string& text) {
    for (char c : text)
        putChar(std::uint8_t(c));
}

// --- graphics ---

void BoardModel::setPixel(int x, int y, bool on) {
    if (x < 0 || x >= kColumns || y < 0 || y >= kRows)
        return;
    std::uint8_t& b = memory_[indexOf(y / 8, x)];
    const auto bit = std::uint8_t(1u << (y % 8));
    b = on ? std::uint8_t(b | bit) : std::uint8_t(b & ~bit);
}

void BoardModel::flipPixel(int x, int y) {
    if (x < 0 || x >= kColumns || y < 0 || y >= kRows)
        return;
    memory_[indexOf(y / 8, x)] ^= std::uint8_t(1u << (y % 8));
}

void BoardModel::drawPixel(int x, int y) {
    setPixel(x, y, true);
    changed();
}

void BoardModel::line(int x1, int y1, int x2, int y2, bool on) {
    // Bresenham over the whole line; pixels off the display are skipped one by one.
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        setPixel(x1, y1, on);
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

bool BoardModel::lineRect(bool draw, int figure, int x1, int y1, int x2, int y2) {
    if (!accepts(draw ? CommandCode::DrawLineRect : CommandCode::ClearLineRect, figure))
        return false;
    const int left = std::min(x1, x2);
    const int right = std::max(x1, x2);
    const int top = std::min(y1, y2);
    const int bottom = std::max(y1, y2);
    switch (Figure(figure)) {
    case Figure::Line:
        line(x1, y1, x2, y2, draw);
        break;
    case Figure::Outline:
        line(left, top, right, top, draw);
        line(left, bottom, right, bottom, draw);
        line(left, top, left, bottom, draw);
        line(right, top, right, bottom, draw);
        break;
    case Figure::Filled:
    case Figure::Reversed: {
        // Clip first: the loops then touch only the display.
        const int x0 = std::max(left, 0);
        const int xe = std::min(right, kColumns - 1);
        const int y0 = std::max(top, 0);
        const int ye = std::min(bottom, kRows - 1);
        for (int y = y0; y <= ye; ++y)
            for (int x = x0; x <= xe; ++x) {
                if (Figure(figure) == Figure::Filled)
                    setPixel(x, y, draw);
                else
                    flipPixel(x, y);
            }
        break;
    }
    default:
        return false;
    }
    changed();
    return true;
}

void BoardModel::circle(bool draw, int radius, int centreX, int centreY) {
    // Midpoint circle: each step sets the eight symmetric points.
    int x = radius;
    int y = 0;
    int err = 1 - radius;
    while (x >= y) {
        const int points[8][2] = {{x, y},   {y, x},   {-y, x}, {-x, y},
                                  {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
        for (const auto& p : points)
            setPixel(centreX + p[0], centreY + p[1], draw);
        ++y;
        if (err < 0) {
            err += 2 * y + 1;
        } else {
            --x;
            err += 2 * (y - x) + 1;
        }
    }
    changed();
}

// --- display settings ---

bool BoardModel::setLcdPower(int onOff) {
    if (!accepts(CommandCode::SetLcdPower, onOff))
        return false;
    lcdOn_ = onOff == 1;
    changed();
    return true;
}

bool BoardModel::setBacklight(int onOff) {
    if (!accepts(CommandCode::SetBacklight, onOff))
        return false;
    backlightOn_ = onOff == 1;
    changed();
    return true;
}

bool BoardModel::setContrast(int contrast) {
    if (!accepts(CommandCode::SetContrast, contrast))
        return false;
    contrast_ = contrast;
    changed();
    return true;
}

bool BoardModel::setDisplayMode(int mode) {
    if (!accepts(CommandCode::SetDisplayMode, mode))
        return false;
    displayMode_ = mode;
    changed();
    return true;
}

bool BoardModel::setRotation(int rotation) {
    if (!accepts(CommandCode::SetRotation, rotation))
        return false;
    rotated_ = rotation == 1;
    changed();
    return true;
}

bool BoardModel::setFlipPage(int page) {
    if (!accepts(CommandCode::FlipPage, page))
        return false;
    flipPage_ = page;
    changed();
    return true;
}

bool BoardModel::reversedAt(int x, int y) const {
    const bool right = x >= kColumns / 2;
    const bool bottom = y >= kRows / 2;
    switch (displayMode_) {
    case 1:
        return true;
    case 2:
        return bottom;
    case 3:
        return !bottom;
    case 4:
        return right;
    case 5:
        return right == bottom; // top left and bottom right
    case 6:
        return right != bottom; // top right and bottom left
    default:
        return false;
    }
}

bool BoardModel::shownPixel(int x, int y) const {
    if (x < 0 || x >= kColumns || y < 0 || y >= kRows)
        return false;
    // Rotation turns the scan of the glass; the flip page is the memory row the scan starts at.
    const int scanX = rotated_ ? kColumns - 1 - x : x;
    const int scanY = rotated_ ? kRows - 1 - y : y;
    const int memoryY = (scanY + flipPage_ * 8) % kRows;
    return pixel(scanX, memoryY) != reversedAt(x, y);
}

// --- screen memory and animation ---

const BoardModel::Memory& BoardModel::screen(int number) const {
    static const Memory empty{};
    if (number < protocol::kFirstScreen || number > protocol::kLastScreen ||
        !screens_[std::size_t(number - 1)])
        return empty;
    return *screens_[std::size_t(number - 1)];
}

bool BoardModel::saveScreen(int number) {
    if (!accepts(CommandCode::SaveScreen, number))
        return false;
    auto& stored = screens_[std::size_t(number - 1)];
    if (!stored)
        stored = std::make_unique<Memory>();
    *stored = memory_;
    changed();
    return true;
}

bool BoardModel::loadScreen(int number) {
    if (!accepts(CommandCode::LoadScreen, number))
        return false;
    memory_ = screen(number);
    changed();
    return true;
}

bool BoardModel::runAnimation(int delay, int start, int stop) {
    if (!accepts(CommandCode::RunAnimation, delay, 0) ||
        !accepts(CommandCode::RunAnimation, start, 1) ||
        !accepts(CommandCode::RunAnimation, stop, 2))
        return false;
    animationRunning_ = true;
    animationDelay_ = std::max(delay, 1);
    animationStart_ = start;
    animationStop_ = stop;
    animationCurrent_ = start;
    ++animationSerial_;
    loadScreen(start);
    return true;
}

void BoardModel::stopAnimation() {
    if (!animationRunning_)
        return;
    animationRunning_ = false;
    changed();
}

void BoardModel::animationTick() {
    if (!animationRunning_)
        return;
    if (animationCurrent_ == animationStop_)
        animationCurrent_ = animationStart_;
    else
        animationCurrent_ += animationStart_ < animationStop_ ? 1 : -1;
    loadScreen(animationCurrent_);
}

// --- identification, touch screen ---

void BoardModel::reply(const std::string& text) {
    if (replySink_)
        replySink_(text);
}

bool BoardModel::identify(int parameter) {
    if (!accepts(CommandCode::Identify, parameter))
        return false;
    reply(std::to_string(contrast_) + "!");
    return true;
}

bool BoardModel::setTouchMode(int mode) {
    if (!accepts(CommandCode::SetTouchMode, mode))
        return false;
    touchMode_ = mode == 1 ? TouchMode::Coordinates : TouchMode::Off;
    changed();
    return true;
}

bool BoardModel::setKeypadMode(int mode) {
    if (!accepts(CommandCode::SetKeypadMode, mode))
        return false;
    touchMode_ = mode == 2 ? TouchMode::KeypadFlipped : TouchMode::Keypad;
    changed();
    return true;
}

bool BoardModel::calibrateTouch(int parameter) {
    if (!accepts(CommandCode::CalibrateTouch, parameter))
        return false;
    customCalibration_ = true;
    changed();
    return true;
}

bool BoardModel::restoreTouchCalibration(int parameter) {
    if (!accepts(CommandCode::RestoreTouchCalibration, parameter))
        return false;
    customCalibration_ = false;
    changed();
    return true;
}

std::string BoardModel::touch(int x, int y) {
    if (x < 0 || x >= kColumns || y < 0 || y >= kRows)
        return {};
    std::string report;
    switch (touchMode_) {
    case TouchMode::Off:
        return {};
    case TouchMode::Coordinates:
        report = "X" + std::to_string(x) + "Y" + std::to_string(y) + "!";
        break;
    case TouchMode::Keypad:
    case TouchMode::KeypadFlipped: {
        int key = (y / kKeypadKeyHeight) * 4 + x / kKeypadKeyWidth + 1;
        if (touchMode_ == TouchMode::KeypadFlipped)
            key = 17 - key;
        report = "K" + std::to_string(key) + "!";
        break;
    }
    }
    reply(report);
    return report;
}

// --- line rate ---

int BoardModel::indexOfBaud(int baud) {
    for (int i = 0; i < protocol::kRateCount; ++i)
        if (protocol::baudOfIndex(i) == baud)
            return i;
    return -1;
}

bool BoardModel::setBaudRate(int rateIndex) {
    if (!accepts(CommandCode::SetBaudRate, rateIndex))
        return false;
    rateIndex_ = rateIndex;
    changed();
    return true;
}

} // namespace display
