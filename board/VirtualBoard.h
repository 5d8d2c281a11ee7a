#pragma once
// The whole virtual board without its window: model, interpreter, pseudo-terminal and the clock
// of the animation. A program or a test opens it and points a serial port at devicePath().
//
//   VirtualBoard board;
//   if (!board.open()) qFatal("%s", qPrintable(board.errorString()));
//   port.setPortName(board.devicePath());   // the other end of the line
//
// Everything runs in the thread the board lives in; the board reads the line whenever its event
// loop runs.

#include "board/BoardModel.h"
#include "board/CommandInterpreter.h"
#include "board/PseudoTerminal.h"

#include <QObject>
#include <QTimer>

class VirtualBoard : public QObject {
    Q_OBJECT
public:
    explicit VirtualBoard(QObject* parent = nullptr);

    BoardModel& model() { return model_; }
    const BoardModel& model() const { return model_; }
    CommandInterpreter& interpreter() { return interpreter_; }
    PseudoTerminal& terminal() { return terminal_; }

    bool open() { return terminal_.open(); }
    QString errorString() const { return terminal_.errorString(); }
    QString devicePath() const { return terminal_.slavePath(); }

    // A touch of the glass at pixel (x, y); the report goes out on the line.
    void touch(int x, int y);

signals:
    // Something the window shows may have changed. Emitted once per piece read from the line,
    // not per command.
    void changed();
    // One line for the log: decoded commands, noise, replies, touches.
    void logLine(const QString& line);

private:
    void afterCommands();

    BoardModel model_;
    CommandInterpreter interpreter_;
    PseudoTerminal terminal_;
    QTimer animationClock_;
    std::uint64_t animationSerial_ = 0;
};
