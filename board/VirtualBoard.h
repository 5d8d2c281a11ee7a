#pragma once
// The whole virtual board without its window: model, interpreter, pseudo-terminal, the clock of
// the animation and the folding of the log. A program or a test opens it and points a serial
// port at devicePath().
//
//   VirtualBoard board;
//   if (!board.open()) qFatal("%s", qPrintable(board.errorString()));
//   port.setPortName(board.devicePath());   // the other end of the line
//
// Everything runs in the thread the board lives in; the board reads the line whenever its event
// loop runs, a bounded slice at a time (see PseudoTerminal).
//
// Log lines go through a LogFolder: a run of lines that differ only in their numbers comes out as
// one line with a count once another line comes or the log has been quiet for kQuietMs; a fold
// that keeps growing is written at least every kFoldFlushMs, and a flood of lines that do not
// fold is summed up.

#include "board/LogFolder.h"
#include "board/PseudoTerminal.h"
#include "display/BoardModel.h"
#include "display/CommandInterpreter.h"

#include <QObject>
#include <QTimer>

class VirtualBoard : public QObject {
    Q_OBJECT
public:
    explicit VirtualBoard(QObject* parent = nullptr);

    static constexpr int kQuietMs = 50;
    static constexpr int kFoldFlushMs = 1000;

    display::BoardModel& model() { return model_; }
    const display::BoardModel& model() const { return model_; }
    display::CommandInterpreter& interpreter() { return interpreter_; }
    PseudoTerminal& terminal() { return terminal_; }

    bool open() { return terminal_.open(); }
    QString errorString() const { return terminal_.errorString(); }
    QString devicePath() const { return terminal_.slavePath(); }

    // A touch of the glass at pixel (x, y); the report goes out on the line.
    void touch(int x, int y);

    // Writes every log line still folded or held back (before the board ends).
    void flushLog();

signals:
    // Something the window shows may have changed. Emitted once per slice read from the line,
    // not per command.
    void changed();
    // One line for the log: decoded commands, noise, replies, touches; folded.
    void logLine(const QString& line);

private:
    void afterCommands();
    void addLog(const std::string& line);
    void logClockTick();

    display::BoardModel model_;
    display::CommandInterpreter interpreter_;
    PseudoTerminal terminal_;
    QTimer animationClock_;
    std::uint64_t animationSerial_ = 0;
    LogFolder log_;
    QTimer logClock_; // runs while lines wait in the folder
    bool loggedSinceTick_ = false;
    int busyTicks_ = 0;
};
