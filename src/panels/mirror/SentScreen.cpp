#include "panels/mirror/SentScreen.h"

#include <utility>

SentScreen::SentScreen(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("sentScreen"));
    animationClock_.setObjectName(QStringLiteral("mirrorAnimationClock"));
    animationClock_.setTimerType(Qt::PreciseTimer);
    connect(&animationClock_, &QTimer::timeout, this, [this] { model_.animationTick(); });
}

void SentScreen::record(engine::Direction direction, const QByteArray& bytes) {
    if (direction != engine::Direction::ToBoard || bytes.isEmpty())
        return;
    interpreter_.feed(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      std::size_t(bytes.size()));
    followAnimation();
}

void SentScreen::followState(engine::SessionState state) {
    using engine::SessionState;
    const SessionState before = std::exchange(state_, state);
    if (state == SessionState::Disconnected) {
        reopeningAfterBaudChange_ = before == SessionState::BaudChangePause;
    } else if (before == SessionState::Disconnected) {
        if (!reopeningAfterBaudChange_)
            restart();
        reopeningAfterBaudChange_ = false;
    }
}

void SentScreen::openFailed() {
    reopeningAfterBaudChange_ = false;
}

void SentScreen::restart() {
    generation_ += model_.revision() + 1;
    interpreter_.reset();
    model_ = display::BoardModel();
    animationSerial_ = 0;
    animationClock_.stop();
}

void SentScreen::followAnimation() {
    // As on the board: any command stops an animation, a new RunAnimation starts the clock.
    if (!model_.animationRunning()) {
        animationClock_.stop();
    } else if (model_.animationSerial() != animationSerial_ || !animationClock_.isActive()) {
        animationSerial_ = model_.animationSerial();
        animationClock_.start(model_.animationIntervalMs());
    }
}
