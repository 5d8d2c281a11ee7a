#include "display/BoardModel.h"

#include "display/Drawing.h"

#include <algorithm>

namespace display {

using protocol::CommandCode;
using protocol::Figure;
using protocol::kColumns;
using protocol::kPages;

namespace {

// Whether `value` lies in the range the command table gives that parameter of the command.
bool accepts(CommandCode code, int value, int parameter = 0) {
    return protocol::commandInfo(code).parameters[std::size_t(parameter)].accepts(value);
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
    return memory_[byteIndex(page, column)];
}

bool BoardModel::pixel(int x, int y) const {
    return pixelOf(memory_, x, y);
}

bool BoardModel::clearDisplay(int pageOrWholeScreen) {
    if (!accepts(CommandCode::ClearDisplay, pageOrWholeScreen))
        return false;
    if (pageOrWholeScreen == protocol::kWholeScreen)
        memory_.fill(0);
    else
        std::fill_n(memory_.begin() + std::ptrdiff_t(byteIndex(pageOrWholeScreen, 0)), kColumns, 0);
    changed();
    return true;
}

void BoardModel::putPattern(std::uint8_t pageByte) {
    memory_[byteIndex(at_.page, at_.column)] = pageByte;
    if (++at_.column == kColumns) {
        at_.column = 0;
        at_.page = (at_.page + 1) % kPages;
    }
    changed();
}

bool BoardModel::setPage(int page) {
    if (!accepts(CommandCode::SetPage, page))
        return false;
    at_.page = page;
    changed();
    return true;
}

bool BoardModel::setColumn(int column) {
    if (!accepts(CommandCode::SetColumn, column))
        return false;
    at_.column = column;
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

void BoardModel::putChar(std::uint8_t character) {
    if (display::putChar(memory_, at_, font_, character))
        changed();
}

void BoardModel::drawString(const std::string& text) {
    for (char c : text)
        putChar(std::uint8_t(c));
}

// --- graphics ---

void BoardModel::drawPixel(int x, int y) {
    setPixel(memory_, x, y, true);
    changed();
}

bool BoardModel::lineRect(bool draw, int figure, int x1, int y1, int x2, int y2) {
    if (!accepts(draw ? CommandCode::DrawLineRect : CommandCode::ClearLineRect, figure) ||
        !drawFigure(memory_, Figure(figure), x1, y1, x2, y2, draw))
        return false;
    changed();
    return true;
}

void BoardModel::circle(bool draw, int radius, int centreX, int centreY) {
    drawCircle(memory_, radius, centreX, centreY, draw);
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
    if (!onDisplay(x, y))
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
