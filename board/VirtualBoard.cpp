#include "board/VirtualBoard.h"

VirtualBoard::VirtualBoard(QObject* parent)
    : QObject(parent), interpreter_(model_), terminal_(model_, interpreter_) {
    model_.setReplySink([this](const std::string& text) { terminal_.sendReply(text); });
    interpreter_.setLogSink([this](const std::string& line) { addLog(line); });
    log_.setSink([this](const std::string& line) { emit logLine(QString::fromStdString(line)); });
    connect(&terminal_, &PseudoTerminal::logLine, this,
            [this](const QString& line) { addLog(line.toStdString()); });
    connect(&terminal_, &PseudoTerminal::bytesArrived, this, &VirtualBoard::afterCommands);
    connect(&terminal_, &PseudoTerminal::lineBaudChanged, this, &VirtualBoard::changed);
    animationClock_.setTimerType(Qt::PreciseTimer);
    connect(&animationClock_, &QTimer::timeout, this, [this] {
        model_.animationTick();
        emit changed();
    });
    logClock_.setInterval(kQuietMs);
    connect(&logClock_, &QTimer::timeout, this, &VirtualBoard::logClockTick);
}

void VirtualBoard::afterCommands() {
    // The clock follows the model: stopped by any command, restarted by a new RunAnimation.
    if (!model_.animationRunning()) {
        animationClock_.stop();
    } else if (model_.animationSerial() != animationSerial_ || !animationClock_.isActive()) {
        animationSerial_ = model_.animationSerial();
        animationClock_.start(model_.animationIntervalMs());
    }
    emit changed();
}

void VirtualBoard::addLog(const std::string& line) {
    log_.add(line);
    // The clock runs from the first line until the log has been quiet for a tick.
    if (!loggedSinceTick_) {
        loggedSinceTick_ = true;
        if (!logClock_.isActive())
            logClock_.start();
    }
}

void VirtualBoard::logClockTick() {
    if (!loggedSinceTick_) {
        flushLog();
        return;
    }
    loggedSinceTick_ = false;
    if (++busyTicks_ * kQuietMs >= kFoldFlushMs) {
        busyTicks_ = 0;
        log_.flush();
    }
}

void VirtualBoard::flushLog() {
    logClock_.stop();
    loggedSinceTick_ = false;
    busyTicks_ = 0;
    log_.quiet();
}

void VirtualBoard::touch(int x, int y) {
    addLog("touch at " + std::to_string(x) + "," + std::to_string(y));
    if (model_.touch(x, y).empty())
        addLog("touch screen off: nothing sent");
    emit changed();
}
