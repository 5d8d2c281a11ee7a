#pragma once
// Turns the bytes arriving from the line into board commands, whatever pieces they come in.
//
// The command table of the protocol (protocol/CommandTable.h) says how many parameter bytes each
// command code takes; the interpreter collects them and then calls the model. BeginString collects
// characters until a carriage return or until 45 characters have arrived, whichever comes first,
// and then draws them: the program starts a new string with BeginString after 45 characters without
// sending a carriage return. A byte that is no command code, where a command code is expected, is
// logged and skipped. Every decoded command is logged, in the order it was carried out.
//
// Plain C++: no Qt, no timing. Feeding a stream whole, byte by byte or in any pieces gives the
// same commands and the same log.

#include "display/BoardModel.h"
#include "protocol/CommandTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace display {

class CommandInterpreter {
public:
    using LogSink = std::function<void(const std::string& line)>;

    static constexpr int kText = protocol::CommandInfo::kText; // characters up to a return
    static constexpr int kUnknown = -2;                        // no command code

    explicit CommandInterpreter(BoardModel& model) : model_(model) {}

    void setLogSink(LogSink sink) { logSink_ = std::move(sink); }

    void feed(const std::uint8_t* data, std::size_t size);
    void feed(const std::string& bytes);

    // Drops a command that has begun but not yet ended (nothing is carried out).
    void reset();
    // True while a command has begun and waits for more bytes.
    bool midCommand() const { return state_ != State::Idle; }

    // Parameter bytes after the command code: 0.., kText, or kUnknown for a byte that is no
    // command code.
    static int parameterCount(std::uint8_t code);
    // The command's name ("PutPattern"), or an empty text for an unknown code.
    static const char* commandName(std::uint8_t code);

private:
    enum class State { Idle, Parameters, Text };

    void accept(std::uint8_t byte);
    void execute();
    void finishText();
    void log(); // hands line_ to the sink

    BoardModel& model_;
    LogSink logSink_;
    State state_ = State::Idle;
    const protocol::CommandInfo* command_ = nullptr; // the command begun
    int received_ = 0;
    std::array<std::uint8_t, protocol::CommandInfo::kMaxParameters> params_{};
    std::string text_;
    std::string line_; // the log line being built
};

} // namespace display
