#include "board/CommandInterpreter.h"

#include "board/BoardFonts.h"
#include "protocol/CommandCode.h"

#include <cstdio>

using protocol::CommandCode;

namespace {

struct CommandInfo {
    const char* name;
    int parameters;
};

CommandInfo infoOf(std::uint8_t code) {
    switch (CommandCode(code)) {
    case CommandCode::ClearDisplay:
        return {"ClearDisplay", 1};
    case CommandCode::PutChar:
        return {"PutChar", 1};
    case CommandCode::PutPattern:
        return {"PutPattern", 1};
    case CommandCode::SetTouchMode:
        return {"SetTouchMode", 1};
    case CommandCode::SetPage:
        return {"SetPage", 1};
    case CommandCode::LoadScreen:
        return {"LoadScreen", 1};
    case CommandCode::SetBacklight:
        return {"SetBacklight", 1};
    case CommandCode::DrawPixel:
        return {"DrawPixel", 3};
    case CommandCode::SetDisplayMode:
        return {"SetDisplayMode", 1};
    case CommandCode::SetLcdPower:
        return {"SetLcdPower", 1};
    case CommandCode::SetBaudRate:
        return {"SetBaudRate", 1};
    case CommandCode::SetContrast:
        return {"SetContrast", 1};
    case CommandCode::SaveScreen:
        return {"SaveScreen", 1};
    case CommandCode::SetColumn:
        return {"SetColumn", 1};
    case CommandCode::SelectFont:
        return {"SelectFont", 1};
    case CommandCode::CalibrateTouch:
        return {"CalibrateTouch", 1};
    case CommandCode::RestoreTouchCalibration:
        return {"RestoreTouchCalibration", 1};
    case CommandCode::RunAnimation:
        return {"RunAnimation", 3};
    case CommandCode::SetKeypadMode:
        return {"SetKeypadMode", 1};
    case CommandCode::FlipPage:
        return {"FlipPage", 1};
    case CommandCode::ClearLineRect:
        return {"ClearLineRect", 5};
    case CommandCode::DrawLineRect:
        return {"DrawLineRect", 5};
    case CommandCode::ClearCircle:
        return {"ClearCircle", 3};
    case CommandCode::DrawCircle:
        return {"DrawCircle", 3};
    case CommandCode::BeginString:
        return {"BeginString", CommandInterpreter::kText};
    case CommandCode::SetRotation:
        return {"SetRotation", 1};
    case CommandCode::Identify:
        return {"Identify", 1};
    }
    return {"", CommandInterpreter::kUnknown};
}

std::string hex(std::uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", unsigned(b));
    return text;
}

// A character as the log shows it: printable ASCII as itself, anything else as \xNN.
std::string shown(std::uint8_t c) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
        return std::string(1, char(c));
    if (c == '"' || c == '\\')
        return std::string("\\") + char(c);
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", unsigned(c));
    return text;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text)
        out += shown(std::uint8_t(c));
    return out + "\"";
}

std::string onOff(int v) {
    return v == 1 ? "on" : v == 0 ? "off" : "?";
}

const char* figureName(int figure) {
    switch (figure) {
    case 0:
        return "line";
    case 1:
        return "outline";
    case 2:
        return "filled";
    case 3:
        return "reversed";
    default:
        return "figure ?";
    }
}

const char* modeName(int mode) {
    static const char* const names[] = {"normal",
                                        "reverse",
                                        "bottom half reversed",
                                        "top half reversed",
                                        "right half reversed",
                                        "top-left and bottom-right reversed",
                                        "top-right and bottom-left reversed"};
    return mode >= 0 && mode < 7 ? names[mode] : "?";
}

} // namespace

int CommandInterpreter::parameterCount(std::uint8_t code) {
    return infoOf(code).parameters;
}

const char* CommandInterpreter::commandName(std::uint8_t code) {
    return infoOf(code).name;
}

void CommandInterpreter::feed(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        accept(data[i]);
}

void CommandInterpreter::feed(const std::string& bytes) {
    feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void CommandInterpreter::reset() {
    state_ = State::Idle;
    received_ = 0;
    text_.clear();
}

void CommandInterpreter::log(const std::string& line) {
    if (logSink_)
        logSink_(line);
}

void CommandInterpreter::accept(std::uint8_t byte) {
    switch (state_) {
    case State::Idle: {
        const int count = parameterCount(byte);
        if (count == kUnknown) {
            log("unknown command byte " + hex(byte) + ", skipped");
            return;
        }
        code_ = byte;
        received_ = 0;
        if (count == kText) {
            text_.clear();
            state_ = State::Text;
        } else {
            wanted_ = count;
            state_ = State::Parameters;
        }
        return;
    }
    case State::Parameters:
        params_[std::size_t(received_++)] = byte;
        if (received_ == wanted_) {
            state_ = State::Idle;
            execute();
        }
        return;
    case State::Text:
        if (byte == protocol::kEndOfString) {
            finishText();
            return;
        }
        text_ += char(byte);
        if (int(text_.size()) == BoardModel::kStringLimit)
            finishText();
        return;
    }
}

void CommandInterpreter::finishText() {
    state_ = State::Idle;
    model_.stopAnimation();
    log(std::string("BeginString ") + quoted(text_));
    model_.drawString(text_);
    text_.clear();
}

void CommandInterpreter::execute() {
    // Any command ends a running animation; RunAnimation then starts its own.
    model_.stopAnimation();
    const int p0 = params_[0];
    const int p1 = params_[1];
    const int p2 = params_[2];
    const int p3 = params_[3];
    const int p4 = params_[4];
    std::string line = commandName(code_);
    bool ok = true;
    switch (CommandCode(code_)) {
    case CommandCode::ClearDisplay:
        line += " " + std::to_string(p0) + (p0 == protocol::kWholeScreen ? " (whole screen)" : "");
        ok = model_.clearDisplay(p0);
        break;
    case CommandCode::PutChar:
        line += " " + hex(std::uint8_t(p0)) + " '" + shown(std::uint8_t(p0)) + "'";
        model_.putChar(std::uint8_t(p0));
        break;
    case CommandCode::PutPattern:
        line += " " + hex(std::uint8_t(p0)) + " at page " + std::to_string(model_.page()) +
                ", column " + std::to_string(model_.column());
        model_.putPattern(std::uint8_t(p0));
        break;
    case CommandCode::SetTouchMode:
        line += " " + std::to_string(p0) + (p0 == 1 ? " (coordinates)" : p0 == 0 ? " (off)" : "");
        ok = model_.setTouchMode(p0);
        break;
    case CommandCode::SetPage:
        line += " " + std::to_string(p0);
        ok = model_.setPage(p0);
        break;
    case CommandCode::LoadScreen:
        line += " " + std::to_string(p0);
        ok = model_.loadScreen(p0);
        break;
    case CommandCode::SetBacklight:
        line += " " + std::to_string(p0) + " (" + onOff(p0) + ")";
        ok = model_.setBacklight(p0);
        break;
    case CommandCode::DrawPixel:
        if (p0 != protocol::kDrawPixelPrefix) {
            line +=
                " " + hex(std::uint8_t(p0)) + " " + std::to_string(p1) + "," + std::to_string(p2);
            ok = false;
        } else {
            line += " " + std::to_string(p1) + "," + std::to_string(p2);
            model_.drawPixel(p1, p2);
        }
        break;
    case CommandCode::SetDisplayMode:
        line += " " + std::to_string(p0) + " (" + modeName(p0) + ")";
        ok = model_.setDisplayMode(p0);
        break;
    case CommandCode::SetLcdPower:
        line += " " + std::to_string(p0) + " (" + onOff(p0) + ")";
        ok = model_.setLcdPower(p0);
        break;
    case CommandCode::SetBaudRate:
        line += " " + std::to_string(p0);
        if (BoardModel::baudOfIndex(p0) != 0)
            line += " (" + std::to_string(BoardModel::baudOfIndex(p0)) + " baud)";
        ok = model_.setBaudRate(p0);
        break;
    case CommandCode::SetContrast:
        line += " " + std::to_string(p0);
        ok = model_.setContrast(p0);
        break;
    case CommandCode::SaveScreen:
        line += " " + std::to_string(p0);
        ok = model_.saveScreen(p0);
        break;
    case CommandCode::SetColumn:
        line += " " + std::to_string(p0);
        ok = model_.setColumn(p0);
        break;
    case CommandCode::SelectFont:
        line += " " + std::to_string(p0);
        if (p0 >= 1 && p0 <= BoardFonts::kFontCount)
            line += std::string(" (") + BoardFonts::name(p0) + ")";
        ok = model_.selectFont(p0);
        break;
    case CommandCode::CalibrateTouch:
        line += " " + std::to_string(p0);
        ok = model_.calibrateTouch(p0);
        break;
    case CommandCode::RestoreTouchCalibration:
        line += " " + std::to_string(p0);
        ok = model_.restoreTouchCalibration(p0);
        break;
    case CommandCode::RunAnimation:
        line += " delay " + std::to_string(p0) + ", screens " + std::to_string(p1) + ".." +
                std::to_string(p2);
        ok = model_.runAnimation(p0, p1, p2);
        break;
    case CommandCode::SetKeypadMode:
        line += " " + std::to_string(p0) +
                (p0 == 1   ? " (keypad)"
                 : p0 == 2 ? " (keypad with flip)"
                           : "");
        ok = model_.setKeypadMode(p0);
        break;
    case CommandCode::FlipPage:
        line += " " + std::to_string(p0);
        ok = model_.setFlipPage(p0);
        break;
    case CommandCode::ClearLineRect:
    case CommandCode::DrawLineRect:
        line += std::string(" ") + figureName(p0) + " " + std::to_string(p1) + "," +
                std::to_string(p2) + " to " + std::to_string(p3) + "," + std::to_string(p4);
        ok = model_.lineRect(CommandCode(code_) == CommandCode::DrawLineRect, p0, p1, p2, p3, p4);
        break;
    case CommandCode::ClearCircle:
    case CommandCode::DrawCircle:
        line += " radius " + std::to_string(p0) + " at " + std::to_string(p1) + "," +
                std::to_string(p2);
        model_.circle(CommandCode(code_) == CommandCode::DrawCircle, p0, p1, p2);
        break;
    case CommandCode::SetRotation:
        line += " " + std::to_string(p0) +
                (p0 == 1   ? " (180 degrees)"
                 : p0 == 0 ? " (0 degrees)"
                           : "");
        ok = model_.setRotation(p0);
        break;
    case CommandCode::Identify:
        line += " " + hex(std::uint8_t(p0));
        // Logged before the reply goes out, so that the log reads in the order of events.
        if (p0 != protocol::kIdentifyParameter) {
            ok = false;
            break;
        }
        log(line);
        model_.identify(p0);
        return;
    case CommandCode::BeginString:
        break; // handled as text
    }
    if (!ok)
        line += ": out of range, ignored";
    log(line);
}
