#pragma once
// Builders of every command message, as raw bytes. Pure functions: no widgets, no port.
// Each returns exactly the bytes of one Output (DrawPixel is the one message the program
// writes in two pieces: drawPixelPrefix() then drawPixelCoordinates()).

#include "protocol/CommandCode.h"

#include <QByteArray>
#include <cstdint>

namespace protocol {

using Byte = std::uint8_t;

QByteArray clearDisplay(Byte pageOrWholeScreen);
QByteArray putChar(Byte character);
QByteArray putPattern(Byte pageByte);
QByteArray setTouchMode(Byte mode);
QByteArray setPage(Byte page);
QByteArray loadScreen(Byte screen);
QByteArray setBacklight(bool on);
QByteArray drawPixelPrefix();
QByteArray drawPixelCoordinates(Byte x, Byte y);
QByteArray setDisplayMode(Byte mode);
QByteArray setLcdPower(bool on);
QByteArray setBaudRate(Byte rateIndex);
QByteArray setContrast(Byte contrast);
QByteArray saveScreen(Byte screen);
QByteArray setColumn(Byte column);
QByteArray selectFont(Byte font);
QByteArray calibrateTouch();
QByteArray restoreTouchCalibration();
QByteArray runAnimation(Byte delay, Byte startScreen, Byte stopScreen);
QByteArray setKeypadMode(Byte mode);
QByteArray flipPage(Byte page);
QByteArray drawLineRect(Figure figure, Byte x1, Byte y1, Byte x2, Byte y2);
QByteArray clearLineRect(Figure figure, Byte x1, Byte y1, Byte x2, Byte y2);
QByteArray drawCircle(Byte radius, Byte centreX, Byte centreY);
QByteArray clearCircle(Byte radius, Byte centreX, Byte centreY);
QByteArray beginString(Byte firstCharacter);
QByteArray setRotation(bool rotated180);
QByteArray identify();

// Touch modes of SetTouchMode and SetKeypadMode.
inline constexpr Byte kTouchOff = 0;
inline constexpr Byte kTouchCoordinates = 1;
inline constexpr Byte kKeypadWithoutFlip = 1;
inline constexpr Byte kKeypadWithFlip = 2;

} // namespace protocol
