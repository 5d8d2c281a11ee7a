#pragma once
// The board's screen as the bytes sent to it make it: every byte the session writes goes through
// the display model's own interpreter (display::CommandInterpreter into display::BoardModel), the
// very model the virtual board runs, so the mirror works out the screen exactly as the board
// would. Nothing the board reports is used.
//
// It is fed from the session's traffic tap from the start, shown or not: a write costs only the
// decoding of its few bytes, and the mirror is then right when it is opened mid-session. Memory
// is bounded by the model: the display memory and at most the board's 203 screen memories
// (about 0.5 MB once every one has been saved). A new connection starts from a blank model,
// since the board's state is unknown until then; a baud-rate change is no new connection.

#include "display/BoardModel.h"
#include "display/CommandInterpreter.h"
#include "engine/SessionTypes.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <cstdint>

class SentScreen : public QObject {
    Q_OBJECT
public:
    explicit SentScreen(QObject* parent = nullptr);

    const display::BoardModel& model() const { return model_; }
    // Grows on every change of what the screen shows, a new start included.
    std::uint64_t revision() const { return generation_ + model_.revision(); }

public slots:
    // One write or read, from the session's traffic signal; only writes count.
    void record(engine::Direction direction, const QByteArray& bytes);
    // From the session's stateChanged: leaving Disconnected is a new connection, unless the
    // session is only opening the port again after a baud-rate change (it passes through
    // Disconnected then, while the board keeps its screen).
    void followState(engine::SessionState state);
    // From the session's openFailed: a later opening is a new connection again.
    void openFailed();
    // Back to the board as it is after power-on: blank, every setting at its default.
    void restart();

private:
    void followAnimation();

    display::BoardModel model_;
    display::CommandInterpreter interpreter_{model_};
    engine::SessionState state_ = engine::SessionState::Disconnected;
    bool reopeningAfterBaudChange_ = false;
    // Revisions of the models before this one, so that revision() never goes back.
    std::uint64_t generation_ = 0;
    QTimer animationClock_;
    std::uint64_t animationSerial_ = 0;
};
