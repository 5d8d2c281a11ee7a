#include "protocol/Messages.h"

#include <initializer_list>

namespace protocol {
namespace {

QByteArray message(CommandCode code, std::initializer_list<Byte> parameters) {
    QByteArray bytes;
    bytes.reserve(1 + int(parameters.size()));
    bytes.append(char(code));
    for (Byte b : parameters)
        bytes.append(char(b));
    return bytes;
}

} // namespace

QByteArray clearDisplay(Byte p) {
    return message(CommandCode::ClearDisplay, {p});
}
QByteArray putChar(Byte c) {
    return message(CommandCode::PutChar, {c});
}
QByteArray putPattern(Byte b) {
    return message(CommandCode::PutPattern, {b});
}
QByteArray setTouchMode(Byte m) {
    return message(CommandCode::SetTouchMode, {m});
}
QByteArray setPage(Byte p) {
    return message(CommandCode::SetPage, {p});
}
QByteArray loadScreen(Byte n) {
    return message(CommandCode::LoadScreen, {n});
}
QByteArray setBacklight(bool on) {
    return message(CommandCode::SetBacklight, {Byte(on)});
}
QByteArray drawPixelPrefix() {
    return message(CommandCode::DrawPixel, {kDrawPixelPrefix});
}

QByteArray drawPixelCoordinates(Byte x, Byte y) {
    QByteArray bytes;
    bytes.append(char(x));
    bytes.append(char(y));
    return bytes;
}

QByteArray setDisplayMode(Byte m) {
    return message(CommandCode::SetDisplayMode, {m});
}
QByteArray setLcdPower(bool on) {
    return message(CommandCode::SetLcdPower, {Byte(on)});
}
QByteArray setBaudRate(Byte i) {
    return message(CommandCode::SetBaudRate, {i});
}
QByteArray setContrast(Byte c) {
    return message(CommandCode::SetContrast, {c});
}
QByteArray saveScreen(Byte n) {
    return message(CommandCode::SaveScreen, {n});
}
QByteArray setColumn(Byte c) {
    return message(CommandCode::SetColumn, {c});
}
QByteArray selectFont(Byte f) {
    return message(CommandCode::SelectFont, {f});
}
QByteArray calibrateTouch() {
    return message(CommandCode::CalibrateTouch, {1});
}
QByteArray restoreTouchCalibration() {
    return message(CommandCode::RestoreTouchCalibration, {1});
}

QByteArray runAnimation(Byte delay, Byte start, Byte stop) {
    return message(CommandCode::RunAnimation, {delay, start, stop});
}

QByteArray setKeypadMode(Byte m) {
    return message(CommandCode::SetKeypadMode, {m});
}
QByteArray flipPage(Byte p) {
    return message(CommandCode::FlipPage, {p});
}

QByteArray drawLineRect(Figure f, Byte x1, Byte y1, Byte x2, Byte y2) {
    return message(CommandCode::DrawLineRect, {Byte(f), x1, y1, x2, y2});
}

QByteArray clearLineRect(Figure f, Byte x1, Byte y1, Byte x2, Byte y2) {
    return message(CommandCode::ClearLineRect, {Byte(f), x1, y1, x2, y2});
}

QByteArray drawCircle(Byte r, Byte x, Byte y) {
    return message(CommandCode::DrawCircle, {r, x, y});
}
QByteArray clearCircle(Byte r, Byte x, Byte y) {
    return message(CommandCode::ClearCircle, {r, x, y});
}
QByteArray beginString(Byte c) {
    return message(CommandCode::BeginString, {c});
}
QByteArray setRotation(bool r) {
    return message(CommandCode::SetRotation, {Byte(r)});
}
QByteArray identify() {
    return message(CommandCode::Identify, {kIdentifyParameter});
}

} // namespace protocol
