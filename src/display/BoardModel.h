#pragma once
// The QD70315 board without its hardware: display memory, write position, fonts, display
// settings, screen memory, animation, touch screen and line rate. Plain C++: the interpreter
// calls one method per decoded command, the window reads the state, tests drive both.
//
// The display memory is laid out as display/Memory.h says; drawing (display/Drawing.h) and text
// (display/Text.h) work on it, and display/Glass.h tells which of its pixels the panel shows lit.
//
// Commands with a parameter outside their range change nothing and return false, so that the
// interpreter can log them; nothing is ever written outside the display or the screen memory.
//
// Touch reports (sent through the reply sink when the LCD is touched):
//   coordinates mode:  "X<x>Y<y>!"   e.g. "X80Y64!"  (pixel column 0..159, pixel row 0..127)
//   keypad modes:      "K<key>!"     e.g. "K6!"      (key 1..16)
// The keypad divides the panel into 4 x 4 keys of 40 x 32 pixels, numbered 1..16 row by row from
// the top left. With flip the numbering is turned by 180 degrees (key k becomes 17 - k), to match
// a picture shown with SetRotation 180. Touch off sends nothing. Coordinates are those of the
// glass as the user sees it; rotation and page flip do not change them.

#include "display/Memory.h"
#include "display/Text.h"
#include "protocol/BaudRates.h"
#include "protocol/CommandTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace display {

class BoardModel {
public:
    // Screen sizes, screen numbers, rates and parameter ranges are the protocol's
    // (protocol/CommandCode.h, CommandTable.h, BaudRates.h).
    static constexpr int kDefaultContrast = 32;
    static constexpr int kKeypadKeyWidth = protocol::kColumns / 4;
    static constexpr int kKeypadKeyHeight = protocol::kRows / 4;

    using Memory = display::Memory;
    using ReplySink = std::function<void(const std::string& text)>;

    enum class TouchMode { Off, Coordinates, Keypad, KeypadFlipped };

    BoardModel();

    // Where the board's replies (Identify, touch reports) go.
    void setReplySink(ReplySink sink) { replySink_ = std::move(sink); }

    // --- display memory and write position ---
    const Memory& memory() const { return memory_; }
    std::uint8_t pageByte(int page, int column) const;
    bool pixel(int x, int y) const; // false outside the display
    int page() const { return at_.page; }
    int column() const { return at_.column; }

    bool clearDisplay(int pageOrWholeScreen); // 0..15 one page, 16 the whole screen
    void putPattern(std::uint8_t pageByte);
    bool setPage(int page);
    bool setColumn(int column);

    // --- text ---
    int font() const { return font_; }
    bool selectFont(int font);
    // Draws one character at the write position and moves on by its width, wrapping to the next
    // text line. 0x0D starts the next text line; 0x08 steps back one cell and blanks it; other
    // control bytes (0x00..0x1F) change nothing.
    void putChar(std::uint8_t character);
    void drawString(const std::string& text); // putChar for each character

    // --- graphics (coordinates 0..255; what lies outside the display is clipped) ---
    void drawPixel(int x, int y);
    bool lineRect(bool draw, int figure, int x1, int y1, int x2, int y2);
    void circle(bool draw, int radius, int centreX, int centreY);

    // --- display settings: how the panel shows the memory, not the memory ---
    bool lcdOn() const { return lcdOn_; }
    bool backlightOn() const { return backlightOn_; }
    int contrast() const { return contrast_; }
    int displayMode() const { return displayMode_; }
    bool rotated180() const { return rotated_; }
    int flipPage() const { return flipPage_; }
    bool setLcdPower(int onOff);
    bool setBacklight(int onOff);
    bool setContrast(int contrast);
    bool setDisplayMode(int mode);
    bool setRotation(int rotation); // 0 = 0 degrees, 1 = 180 degrees
    bool setFlipPage(int page);

    // --- screen memory and animation ---
    const Memory& screen(int number) const; // 1..203; other numbers give an empty screen
    bool saveScreen(int number);
    bool loadScreen(int number);
    // Shows screens start..stop (either direction) in a loop, one every delay x 10 ms, starting
    // with `start` at once. A delay of 0 is taken as 1. Any later command stops it.
    bool runAnimation(int delay, int start, int stop);
    void stopAnimation();
    bool animationRunning() const { return animationRunning_; }
    int animationIntervalMs() const { return animationRunning_ ? animationDelay_ * 10 : 0; }
    int animationScreen() const { return animationRunning_ ? animationCurrent_ : 0; }
    int animationStart() const { return animationStart_; }
    int animationStop() const { return animationStop_; }
    void animationTick(); // shows the next screen of a running animation
    // Counts the animations started, so that whoever runs the clock can tell a new one.
    std::uint64_t animationSerial() const { return animationSerial_; }

    // --- identification, touch screen ---
    bool identify(int parameter); // 0x44: replies with the contrast and "!"
    TouchMode touchMode() const { return touchMode_; }
    bool customCalibration() const { return customCalibration_; }
    bool setTouchMode(int mode);  // 0 off, 1 coordinates
    bool setKeypadMode(int mode); // 1 keypad, 2 keypad with flip
    bool calibrateTouch(int parameter);
    bool restoreTouchCalibration(int parameter);
    // A touch of the glass at pixel (x, y). Returns the report sent (empty when none).
    std::string touch(int x, int y);

    // --- line rate ---
    int rateIndex() const { return rateIndex_; }
    int baud() const { return protocol::baudOfIndex(rateIndex_); }
    bool setBaudRate(int rateIndex);
    static int indexOfBaud(int baud); // -1 for a rate the board does not know

    // Grows on every change of anything shown, so that a view repaints only when needed.
    std::uint64_t revision() const { return revision_; }

private:
    void reply(const std::string& text);
    void changed() { ++revision_; }

    Memory memory_{};
    // Index 0 = screen 1; a screen never saved is empty and takes no memory.
    std::vector<std::unique_ptr<Memory>> screens_;
    WritePosition at_;
    int font_ = 1;
    bool lcdOn_ = true;
    bool backlightOn_ = true;
    int contrast_ = kDefaultContrast;
    int displayMode_ = 0;
    bool rotated_ = false;
    int flipPage_ = 0;
    bool animationRunning_ = false;
    int animationDelay_ = 0;
    int animationStart_ = 0;
    int animationStop_ = 0;
    int animationCurrent_ = 0;
    std::uint64_t animationSerial_ = 0;
    TouchMode touchMode_ = TouchMode::Off;
    bool customCalibration_ = false;
    int rateIndex_ = protocol::kDefaultRateIndex;
    std::uint64_t revision_ = 0;
    ReplySink replySink_;
};

} // namespace display
