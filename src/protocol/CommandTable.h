#pragma once
// Every command of the board once: its code, its name, how many parameter bytes follow and the
// range of each. The program's message builders, the virtual board's interpreter and the
// traffic decoder all read this table; the wire layout is documented in CommandCode.h.

#include "protocol/CommandCode.h"

#include <array>
#include <cstdint>
#include <span>

namespace protocol {

struct ParameterInfo {
    const char* name = ""; // as a user reads it: "page", "X1"
    int min = 0;
    int max = 255;
    bool accepts(int value) const { return value >= min && value <= max; }
};

struct CommandInfo {
    // BeginString: the parameters are characters up to a carriage return.
    static constexpr int kText = -1;
    static constexpr int kMaxParameters = 5;

    CommandCode code;
    const char* name;
    int parameterCount; // bytes after the code, or kText
    std::array<ParameterInfo, kMaxParameters> parameters;

    std::uint8_t byte() const { return std::uint8_t(code); }
    bool isText() const { return parameterCount == kText; }
};

// Screens 1..4 hold the board's fonts; 5..203 are free for pictures.
inline constexpr int kFirstScreen = 1;
inline constexpr int kFirstFreeScreen = 5;
inline constexpr int kLastScreen = 203;
inline constexpr int kFontCount = 4;
inline constexpr int kDisplayModeCount = 7;
inline constexpr int kMaxContrast = 127;
// Characters of one BeginString text; the program starts a new one after as many.
inline constexpr int kStringLimit = 45;

// The whole table, in code order.
std::span<const CommandInfo> commands();
// The command with this code, or nullptr for a byte that is no command code.
const CommandInfo* commandInfo(std::uint8_t code);
const CommandInfo& commandInfo(CommandCode code);

} // namespace protocol
