#pragma once
// Wire layout of the QD70315 serial command protocol.
//
// The line runs at no parity, 8 data bits, 1 stop bit at one of nine rates (see BaudRates.h).
// A message is a command byte followed by its parameters, one byte each (0..255). There is no
// length byte, checksum or terminator. The only variable-length message is the text string,
// started by BeginString and ended by a carriage return (0x0D).
//
//   code  name                     parameters
//   0x01  ClearDisplay             page 0..15, or 16 for the whole screen
//   0x02  PutChar                  one character
//   0x03  PutPattern               one page byte (bit 0 = top row of the page)
//   0x05  SetTouchMode             0 off, 1 coordinates
//   0x06  SetPage                  page 0..15
//   0x08  LoadScreen               screen number
//   0x09  SetBacklight             0 off, 1 on
//   0x0A  DrawPixel                1, then X and Y (the program writes these in two writes)
//   0x0B  SetDisplayMode           mode 0..6
//   0x0D  SetLcdPower              0 off, 1 on
//   0x0F  SetBaudRate              rate index 0..8
//   0x10  SetContrast              0..127
//   0x11  SaveScreen               screen number
//   0x12  SetColumn                column 0..159
//   0x15  SelectFont               font 1..4
//   0x19  CalibrateTouch           1
//   0x1A  RestoreTouchCalibration  1
//   0x1B  RunAnimation             delay, start screen, stop screen
//   0x1C  SetKeypadMode            1 without flip, 2 with flip
//   0x1D  FlipPage                 page 0..15
//   0x1E  ClearLineRect            figure code, X1, Y1, X2, Y2
//   0x1F  DrawLineRect             figure code, X1, Y1, X2, Y2
//   0x20  ClearCircle              radius, centre X, centre Y
//   0x21  DrawCircle               radius, centre X, centre Y
//   0x26  BeginString              first character; further characters raw; 0x0D ends
//   0x27  SetRotation              0 for 0 degrees, 1 for 180 degrees
//   0x49  Identify                 0x44 ("I" "D"); the board answers with text such as "32!"

#include <cstdint>

namespace protocol {

enum class CommandCode : std::uint8_t {
    ClearDisplay = 0x01,
    PutChar = 0x02,
    PutPattern = 0x03,
    SetTouchMode = 0x05,
    SetPage = 0x06,
    LoadScreen = 0x08,
    SetBacklight = 0x09,
    DrawPixel = 0x0A,
    SetDisplayMode = 0x0B,
    SetLcdPower = 0x0D,
    SetBaudRate = 0x0F,
    SetContrast = 0x10,
    SaveScreen = 0x11,
    SetColumn = 0x12,
    SelectFont = 0x15,
    CalibrateTouch = 0x19,
    RestoreTouchCalibration = 0x1A,
    RunAnimation = 0x1B,
    SetKeypadMode = 0x1C,
    FlipPage = 0x1D,
    ClearLineRect = 0x1E,
    DrawLineRect = 0x1F,
    ClearCircle = 0x20,
    DrawCircle = 0x21,
    BeginString = 0x26,
    SetRotation = 0x27,
    Identify = 0x49,
};

// Second byte of Identify.
inline constexpr std::uint8_t kIdentifyParameter = 0x44;
// ClearDisplay parameter that clears the whole screen instead of one page.
inline constexpr std::uint8_t kWholeScreen = 16;
// Carriage return that ends a BeginString text.
inline constexpr std::uint8_t kEndOfString = 0x0D;
// First parameter byte of DrawPixel; the coordinates follow in a second write.
inline constexpr std::uint8_t kDrawPixelPrefix = 0x01;

// Figure codes of DrawLineRect / ClearLineRect.
enum class Figure : std::uint8_t { Line = 0, Outline = 1, Filled = 2, Reversed = 3 };

// Display geometry.
inline constexpr int kColumns = 160;
inline constexpr int kPages = 16;
inline constexpr int kRowsPerPage = 8;
inline constexpr int kRows = kPages * kRowsPerPage;

} // namespace protocol
