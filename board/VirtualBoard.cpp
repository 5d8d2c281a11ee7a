#include "board/VirtualBoard.h"

VirtualBoard::VirtualBoard(QObject* parent)
    : QObject(parent), interpreter_(model_), terminal_(model_, interpreter_) {
    model_.setReplySink([this](const std::string& text) { terminal_.sendReply(text); });
    interpreter_.setLogSink(
        [this](const std::string& line) { emit logLine(QString::fromStdString(line)); });
    connect(&terminal_, &PseudoTerminal::logLine, this, &VirtualBoard::logLine);
    connect(&terminal_, &PseudoTerminal::bytesArrived, this, &VirtualBoard::afterCommands);
    connect(&terminal_, &PseudoTerminal::lineBaudChanged, this, &VirtualBoard::changed);
    animationClock_.setTimerType(Qt::PreciseTimer);
    connect(&animationClock_, &QTimer::timeout, this, [this] {
        model_.animationTick();
        emit changed();
    });
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

void VirtualBoard::touch(int x, int y) {
    emit logLine(QStringLiteral("touch at %1,%2").arg(x).arg(y));
    if (model_.touch(x, y).empty())
        emit logLine(QStringLiteral("touch screen off: nothing sent"));
    emit changed();
}
