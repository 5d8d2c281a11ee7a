#include "display/CommandInterpreter.h"

#include "display/BoardFonts.h"
#include "protocol/BaudRates.h"
#include "protocol/CommandCode.h"

#include <charconv>

namespace display {

using protocol::CommandCode;
using protocol::Figure;

// The log lines are built into one reused buffer: under a flood of random bytes nearly every byte
// makes a line, and allocating each one would cost more than decoding it.

namespace {

void addNumber(std::string& out, int value) {
    char text[16];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void addHex(std::string& out, std::uint8_t b) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const char text[4] = {'0', 'x', kDigits[b >> 4], kDigits[b & 0x0F]};
    out.append(text, sizeof text);
}

// A character as the log shows it: printable ASCII as itself, anything else as \xNN.
void addShown(std::string& out, std::uint8_t c) {
    if (c >= 0x20 && c < 0x7F) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += char(c);
        return;
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const char text[4] = {'\\', 'x', kDigits[c >> 4], kDigits[c & 0x0F]};
    out.append(text, sizeof text);
}

void addQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text)
        addShown(out, std::uint8_t(c));
    out += '"';
}

const char* onOff(int v) {
    return v == 1 ? "on" : v == 0 ? "off" : "?";
}

const char* figureName(int figure) {
    switch (Figure(figure)) {
    case Figure::Line:
        return "line";
    case Figure::Outline:
        return "outline";
    case Figure::Filled:
        return "filled";
    case Figure::Reversed:
        return "reversed";
    }
    return "figure ?";
}

const char* modeName(int mode) {
    static const char* const names[protocol::kDisplayModeCount] = {
        "normal",
        "reverse",
        "bottom half reversed",
        "top half reversed",
        "right half reversed",
        "top-left and bottom-right reversed",
        "top-right and bottom-left reversed"};
    return mode >= 0 && mode < protocol::kDisplayModeCount ? names[mode] : "?";
}

} // namespace

int CommandInterpreter::parameterCount(std::uint8_t code) {
    const protocol::CommandInfo* info = protocol::commandInfo(code);
    if (!info)
        return kUnknown;
    return info->parameterCount;
}

const char* CommandInterpreter::commandName(std::uint8_t code) {
    const protocol::CommandInfo* info = protocol::commandInfo(code);
    return info ? info->name : "";
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

void CommandInterpreter::log() {
    if (logSink_)
        logSink_(line_);
}

void CommandInterpreter::accept(std::uint8_t byte) {
    switch (state_) {
    case State::Idle: {
        const protocol::CommandInfo* info = protocol::commandInfo(byte);
        if (!info) {
            line_.assign("unknown command byte ");
            addHex(line_, byte);
            line_ += ", skipped";
            log();
            return;
        }
        command_ = info;
        received_ = 0;
        if (info->isText()) {
            text_.clear();
            state_ = State::Text;
        } else {
            state_ = State::Parameters;
        }
        return;
    }
    case State::Parameters:
        params_[std::size_t(received_++)] = byte;
        if (received_ == command_->parameterCount) {
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
        if (int(text_.size()) == protocol::kStringLimit)
            finishText();
        return;
    }
}

void CommandInterpreter::finishText() {
    state_ = State::Idle;
    model_.stopAnimation();
    line_.assign("BeginString ");
    addQuoted(line_, text_);
    log();
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
    std::string& line = line_;
    line.assign(command_->name);
    line += ' ';
    bool ok = true;
    switch (command_->code) {
    case CommandCode::ClearDisplay:
        addNumber(line, p0);
        if (p0 == protocol::kWholeScreen)
            line += " (whole screen)";
        ok = model_.clearDisplay(p0);
        break;
    case CommandCode::PutChar:
        addHex(line, std::uint8_t(p0));
        line += " '";
        addShown(line, std::uint8_t(p0));
        line += '\'';
        model_.putChar(std::uint8_t(p0));
        break;
    case CommandCode::PutPattern:
        addHex(line, std::uint8_t(p0));
        line += " at page ";
        addNumber(line, model_.page());
        line += ", column ";
        addNumber(line, model_.column());
        model_.putPattern(std::uint8_t(p0));
        break;
    case CommandCode::SetTouchMode:
        addNumber(line, p0);
        line += p0 == 1 ? " (coordinates)" : p0 == 0 ? " (off)" : "";
        ok = model_.setTouchMode(p0);
        break;
    case CommandCode::SetPage:
        addNumber(line, p0);
        ok = model_.setPage(p0);
        break;
    case CommandCode::LoadScreen:
        addNumber(line, p0);
        ok = model_.loadScreen(p0);
        break;
    case CommandCode::SetBacklight:
        addNumber(line, p0);
        line.append(" (").append(onOff(p0)).append(")");
        ok = model_.setBacklight(p0);
        break;
    case CommandCode::DrawPixel:
        if (p0 != protocol::kDrawPixelPrefix) {
            addHex(line, std::uint8_t(p0));
            line += ' ';
            ok = false;
        }
        addNumber(line, p1);
        line += ',';
        addNumber(line, p2);
        if (ok)
            model_.drawPixel(p1, p2);
        break;
    case CommandCode::SetDisplayMode:
        addNumber(line, p0);
        line.append(" (").append(modeName(p0)).append(")");
        ok = model_.setDisplayMode(p0);
        break;
    case CommandCode::SetLcdPower:
        addNumber(line, p0);
        line.append(" (").append(onOff(p0)).append(")");
        ok = model_.setLcdPower(p0);
        break;
    case CommandCode::SetBaudRate:
        addNumber(line, p0);
        if (protocol::baudOfIndex(p0) != 0) {
            line += " (";
            addNumber(line, protocol::baudOfIndex(p0));
            line += " baud)";
        }
        ok = model_.setBaudRate(p0);
        break;
    case CommandCode::SetContrast:
        addNumber(line, p0);
        ok = model_.setContrast(p0);
        break;
    case CommandCode::SaveScreen:
        addNumber(line, p0);
        ok = model_.saveScreen(p0);
        break;
    case CommandCode::SetColumn:
        addNumber(line, p0);
        ok = model_.setColumn(p0);
        break;
    case CommandCode::SelectFont:
        addNumber(line, p0);
        if (p0 >= 1 && p0 <= protocol::kFontCount)
            line.append(" (").append(BoardFonts::name(p0)).append(")");
        ok = model_.selectFont(p0);
        break;
    case CommandCode::CalibrateTouch:
        addNumber(line, p0);
        ok = model_.calibrateTouch(p0);
        break;
    case CommandCode::RestoreTouchCalibration:
        addNumber(line, p0);
        ok = model_.restoreTouchCalibration(p0);
        break;
    case CommandCode::RunAnimation:
        line += "delay ";
        addNumber(line, p0);
        line += ", screens ";
        addNumber(line, p1);
        line += "..";
        addNumber(line, p2);
        ok = model_.runAnimation(p0, p1, p2);
        break;
    case CommandCode::SetKeypadMode:
        addNumber(line, p0);
        line += p0 == 1 ? " (keypad)" : p0 == 2 ? " (keypad with flip)" : "";
        ok = model_.setKeypadMode(p0);
        break;
    case CommandCode::FlipPage:
        addNumber(line, p0);
        ok = model_.setFlipPage(p0);
        break;
    case CommandCode::ClearLineRect:
    case CommandCode::DrawLineRect:
        line.append(figureName(p0)).append(" ");
        addNumber(line, p1);
        line += ',';
        addNumber(line, p2);
        line += " to ";
        addNumber(line, p3);
        line += ',';
        addNumber(line, p4);
        ok = model_.lineRect(command_->code == CommandCode::DrawLineRect, p0, p1, p2, p3, p4);
        break;
    case CommandCode::ClearCircle:
    case CommandCode::DrawCircle:
        line += "radius ";
        addNumber(line, p0);
        line += " at ";
        addNumber(line, p1);
        line += ',';
        addNumber(line, p2);
        model_.circle(command_->code == CommandCode::DrawCircle, p0, p1, p2);
        break;
    case CommandCode::SetRotation:
        addNumber(line, p0);
        line += p0 == 1 ? " (180 degrees)" : p0 == 0 ? " (0 degrees)" : "";
        ok = model_.setRotation(p0);
        break;
    case CommandCode::Identify:
        addHex(line, std::uint8_t(p0));
        // Logged before the reply goes out, so that the log reads in the order of events.
        if (p0 != protocol::kIdentifyParameter) {
            ok = false;
            break;
        }
        log();
        model_.identify(p0);
        return;
    case CommandCode::BeginString:
        break; // handled as text
    }
    if (!ok)
        line += ": out of range, ignored";
    log();
}

} // namespace display
