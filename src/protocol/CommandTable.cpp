#include "protocol/CommandTable.h"

#include <algorithm>

namespace protocol {

namespace {

using C = CommandCode;
using P = ParameterInfo;

constexpr P kByte{"byte", 0, 255};
constexpr P kPage{"page", 0, kPages - 1};
constexpr P kOnOff{"on/off", 0, 1};
constexpr P kScreen{"screen", kFirstScreen, kLastScreen};
constexpr P kX(const char* name) {
    return {name, 0, 255};
}

constexpr CommandInfo kCommands[] = {
    {C::ClearDisplay, "ClearDisplay", 1, {P{"page", 0, kWholeScreen}}},
    {C::PutChar, "PutChar", 1, {P{"character", 0, 255}}},
    {C::PutPattern, "PutPattern", 1, {P{"pattern", 0, 255}}},
    {C::SetTouchMode, "SetTouchMode", 1, {P{"mode", 0, 1}}},
    {C::SetPage, "SetPage", 1, {kPage}},
    {C::LoadScreen, "LoadScreen", 1, {kScreen}},
    {C::SetBacklight, "SetBacklight", 1, {kOnOff}},
    {C::DrawPixel,
     "DrawPixel",
     3,
     {P{"prefix", kDrawPixelPrefix, kDrawPixelPrefix}, kX("X"), kX("Y")}},
    {C::SetDisplayMode, "SetDisplayMode", 1, {P{"mode", 0, kDisplayModeCount - 1}}},
    {C::SetLcdPower, "SetLcdPower", 1, {kOnOff}},
    {C::SetBaudRate, "SetBaudRate", 1, {P{"rate index", 0, 8}}},
    {C::SetContrast, "SetContrast", 1, {P{"contrast", 0, kMaxContrast}}},
    {C::SaveScreen, "SaveScreen", 1, {kScreen}},
    {C::SetColumn, "SetColumn", 1, {P{"column", 0, kColumns - 1}}},
    {C::SelectFont, "SelectFont", 1, {P{"font", 1, kFontCount}}},
    {C::CalibrateTouch, "CalibrateTouch", 1, {P{"start", 1, 1}}},
    {C::RestoreTouchCalibration, "RestoreTouchCalibration", 1, {P{"start", 1, 1}}},
    {C::RunAnimation,
     "RunAnimation",
     3,
     {P{"delay", 0, 255}, P{"start screen", kFirstScreen, kLastScreen},
      P{"stop screen", kFirstScreen, kLastScreen}}},
    {C::SetKeypadMode, "SetKeypadMode", 1, {P{"mode", 1, 2}}},
    {C::FlipPage, "FlipPage", 1, {kPage}},
    {C::ClearLineRect,
     "ClearLineRect",
     5,
     {P{"figure", 0, 3}, kX("X1"), kX("Y1"), kX("X2"), kX("Y2")}},
    {C::DrawLineRect,
     "DrawLineRect",
     5,
     {P{"figure", 0, 3}, kX("X1"), kX("Y1"), kX("X2"), kX("Y2")}},
    {C::ClearCircle, "ClearCircle", 3, {kX("radius"), kX("X"), kX("Y")}},
    {C::DrawCircle, "DrawCircle", 3, {kX("radius"), kX("X"), kX("Y")}},
    {C::BeginString, "BeginString", CommandInfo::kText, {kByte}},
    {C::SetRotation, "SetRotation", 1, {P{"rotation", 0, 1}}},
    {C::Identify, "Identify", 1, {P{"query", kIdentifyParameter, kIdentifyParameter}}},
};

// A direct lookup from byte to entry, built once.
struct Index {
    std::array<const CommandInfo*, 256> byCode{};
    Index() {
        for (const CommandInfo& c : kCommands)
            byCode[c.byte()] = &c;
    }
};

const Index& index() {
    static const Index instance;
    return instance;
}

} // namespace

std::span<const CommandInfo> commands() {
    return kCommands;
}

const CommandInfo* commandInfo(std::uint8_t code) {
    return index().byCode[code];
}

const CommandInfo& commandInfo(CommandCode code) {
    return *commandInfo(std::uint8_t(code));
}

} // namespace protocol
