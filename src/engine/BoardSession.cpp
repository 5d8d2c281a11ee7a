#include "engine/BoardSession.h"

#include "engine/DetectionReply.h"
#include "protocol/BaudRates.h"
#include "protocol/Messages.h"
#include "serial/SerialPort.h"

#include <QTimer>
#include <algorithm>
#include <utility>

namespace engine {

namespace {

// How often waitUntilSent() looks whether the port has taken everything.
constexpr int kLineIdleCheckMs = 2;

QTimer* makeTimer(QObject* parent, const char* name, int intervalMs, bool singleShot) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(intervalMs);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(singleShot);
    return timer;
}

} // namespace

BoardSession::BoardSession(SerialPort& port, QObject* parent) : QObject(parent), port_(port) {
    timer1_ = makeTimer(this, "Timer1", kDetectionTimeoutMs, false);
    timer2_ = makeTimer(this, "Timer2", kPollMs, false);
    timer3_ = makeTimer(this, "Timer3", kSettlingMs, false);
    timer4_ = makeTimer(this, "Timer4", kDetectionPauseMs, false);
    baudChangePause_ = makeTimer(this, "BaudChangePause", kBaudChangePauseMs, true);
    uploadTimer_ = makeTimer(this, "UploadTimer", 1, true);
    lineIdleTimer_ = makeTimer(this, "LineIdleTimer", kLineIdleCheckMs, false);
    connect(timer1_, &QTimer::timeout, this, &BoardSession::detectionTimeoutTick);
    connect(timer2_, &QTimer::timeout, this, &BoardSession::pollTick);
    connect(timer3_, &QTimer::timeout, this, &BoardSession::settleTick);
    connect(timer4_, &QTimer::timeout, this, &BoardSession::detectionPauseTick);
    connect(baudChangePause_, &QTimer::timeout, this, &BoardSession::baudChangePauseTick);
    connect(uploadTimer_, &QTimer::timeout, this, &BoardSession::uploadTick);
    connect(lineIdleTimer_, &QTimer::timeout, this, &BoardSession::lineIdleTick);
    connect(&port_, &SerialPort::portLost, this, &BoardSession::onPortLost);
    connect(&port_, &SerialPort::openFinished, this, &BoardSession::onOpenFinished);
    elapsed_.start();
    clock_ = [this] { return elapsed_.nsecsElapsed(); };
}

BoardSession::~BoardSession() {
    stopTimers();
    pacer_.reset();
}

bool BoardSession::portOpen() const {
    return port_.portOpen();
}

int BoardSession::commPort() const {
    return port_.commPort();
}

void BoardSession::setState(SessionState state) {
    if (state_ == state)
        return;
    state_ = state;
    emit stateChanged(state);
}

BoardSession::OpenStep BoardSession::openPort(int portNumber, const protocol::LineSettings& line,
                                              Opening then) {
    port_.setCommPort(portNumber);
    port_.setSettings(line);
    line_ = line;
    lineFreeNs_ = 0;
    if (port_.portOpen())
        return OpenStep::Opened;
    const OpenResult result = port_.openPort();
    if (result.pending) {
        // The window looks as while detecting; no timer runs until the port reports.
        opening_ = then;
        setState(SessionState::Detecting);
        return OpenStep::Pending;
    }
    if (!result.ok) {
        emit openFailed(result.error, result.description);
        return OpenStep::Failed;
    }
    return OpenStep::Opened;
}

void BoardSession::onOpenFinished(const OpenResult& result) {
    const Opening then = std::exchange(opening_, Opening::None);
    if (then == Opening::None || state_ != SessionState::Detecting)
        return; // given up meanwhile
    if (!result.ok) {
        setState(SessionState::Disconnected);
        emit openFailed(result.error, result.description);
    } else if (then == Opening::ThenDetect) {
        startDetection();
    } else {
        enterOpen();
    }
}

bool BoardSession::connectTo(int portNumber, const protocol::LineSettings& line) {
    return openThen(portNumber, line, Opening::ThenDetect);
}

bool BoardSession::openWithoutDetection(int portNumber, const protocol::LineSettings& line) {
    return openThen(portNumber, line, Opening::ThenOpen);
}

bool BoardSession::openThen(int portNumber, const protocol::LineSettings& line, Opening then) {
    if (state_ != SessionState::Disconnected)
        return false;
    switch (openPort(portNumber, line, then)) {
    case OpenStep::Failed:
        return false;
    case OpenStep::Pending:
        return true; // onOpenFinished goes on
    case OpenStep::Opened:
        break;
    }
    if (then == Opening::ThenOpen) {
        enterOpen();
        return true;
    }
    startDetection();
    return state_ == SessionState::Detecting;
}

void BoardSession::enterOpen() {
    setState(SessionState::Open);
    timer2_->start();
    emit opened();
}

bool BoardSession::detect() {
    const bool open = state_ == SessionState::Open || connected();
    if (!open || pacer_ || !port_.portOpen())
        return false;
    stopTimers();
    startDetection();
    return state_ == SessionState::Detecting;
}

void BoardSession::startDetection() {
    detectionText_.clear();
    emit detectionTextChanged(detectionText_);
    timer1_->start();
    setState(SessionState::Detecting);
    if (!write(protocol::identify()))
        return; // the port is gone; onPortLost has reset everything
    // A port that answers at once is read at once.
    timer4_->start(port_.carriesAtOnce() ? 0 : kDetectionPauseMs);
}

void BoardSession::detectionPauseTick() {
    timer4_->stop();
    if (state_ != SessionState::Detecting || !port_.portOpen())
        return;
    const QByteArray piece = readInput();
    if (!piece.isEmpty()) {
        detectionText_ += piece;
        emit detectionTextChanged(detectionText_);
    }
    if (timer1_->isActive() && DetectionReply::accepted(detectionText_))
        finishDetection();
    else
        timer4_->start();
}

void BoardSession::finishDetection() {
    timer1_->stop();
    setState(SessionState::Settling);
    const QByteArray answer = detectionText_;
    emit detected();
    if (state_ != SessionState::Settling)
        return; // a handler of detected() ended the session
    if (const auto contrast = DetectionReply::contrast(answer))
        emit contrastReported(*contrast); // the window echoes it to the board
    if (state_ != SessionState::Settling)
        return; // the echo found the port gone
    detectionText_.clear();
    timer3_->start();
}

void BoardSession::detectionTimeoutTick() {
    timer1_->stop();
    if (state_ != SessionState::Detecting)
        return;
    stopTimers();
    closePort();
    setState(SessionState::Disconnected);
    emit detectionTimedOut();
}

void BoardSession::settleTick() {
    timer3_->stop();
    if (state_ != SessionState::Settling || !port_.portOpen())
        return;
    // Whatever came in the first 500 ms (the rest of the answer, the echo of the contrast) is
    // dropped unseen.
    readInput();
    setState(SessionState::Polling);
    timer2_->start();
}

void BoardSession::pollTick() {
    const bool polling = state_ == SessionState::Polling || state_ == SessionState::Open;
    if (!polling || !port_.portOpen()) {
        timer2_->stop();
        return;
    }
    const QByteArray piece = readInput();
    if (!piece.isEmpty())
        emit replyReceived(piece);
}

void BoardSession::disconnectBoard() {
    stopTimers();
    if (pacer_)
        endUpload(UploadEnding::PortClosed);
    closePort();
    setState(SessionState::Disconnected);
    emit disconnected();
}

void BoardSession::shutDown() {
    stopTimers();
    pacer_.reset();
    closePort();
    setState(SessionState::Disconnected);
}

bool BoardSession::send(const QByteArray& message) {
    if (pacer_ || !port_.portOpen())
        return false;
    return write(message);
}

bool BoardSession::changeBaudRate(int rateIndex) {
    const auto line = protocol::LineSettings::ofRateIndex(rateIndex);
    const bool running =
        state_ == SessionState::Detecting || state_ == SessionState::Open || connected();
    if (!line || !running || !port_.portOpen() || pacer_)
        return false;
    if (const QString refusal = port_.rateChangeRefusal(); !refusal.isEmpty()) {
        emit baudChangeRefused(refusal);
        return false;
    }
    reopenWithoutDetection_ = state_ == SessionState::Open;
    if (!write(protocol::setBaudRate(std::uint8_t(rateIndex))))
        return false;
    stopTimers();
    closePort();
    line_ = *line;
    // Nothing is sent and no timer reads the port until the board has switched its rate.
    setState(SessionState::BaudChangePause);
    emit baudChangeStarted(rateIndex);
    baudChangePause_->start(port_.carriesAtOnce() ? 0 : kBaudChangePauseMs);
    return true;
}

void BoardSession::baudChangePauseTick() {
    baudChangePause_->stop();
    if (state_ != SessionState::BaudChangePause)
        return;
    setState(SessionState::Disconnected);
    if (reopenWithoutDetection_)
        openWithoutDetection(port_.commPort(), line_);
    else
        connectTo(port_.commPort(), line_);
}

void BoardSession::waitUntilSent() {
    if (port_.carriesAtOnce()) {
        lineFreeNs_ = 0;
        QMetaObject::invokeMethod(this, &BoardSession::allSent, Qt::QueuedConnection);
        return;
    }
    lineIdleDeadlineNs_ = std::max(lineFreeNs_, clock_()) + kLineIdleGraceNs;
    lineIdleTimer_->start();
    lineIdleTick();
}

void BoardSession::lineIdleTick() {
    if (!lineIdleTimer_->isActive())
        return;
    const std::int64_t now = clock_();
    const bool carried = !port_.portOpen() || (port_.bytesToWrite() == 0 && now >= lineFreeNs_);
    if (!carried && now < lineIdleDeadlineNs_)
        return;
    lineIdleTimer_->stop();
    emit allSent();
}

void BoardSession::clearDetectionText() {
    if (state_ == SessionState::Detecting)
        detectionText_.clear();
}

QByteArray BoardSession::readInput() {
    const QByteArray bytes = port_.input();
    if (!bytes.isEmpty())
        emit traffic(Direction::FromBoard, bytes);
    return bytes;
}

bool BoardSession::write(const QByteArray& bytes) {
    if (!port_.output(bytes))
        return false;
    lineFreeNs_ = std::max(lineFreeNs_, clock_()) + line_.bytesNs(bytes.size());
    emit traffic(Direction::ToBoard, bytes);
    return true;
}

void BoardSession::closePort() {
    // An opening still under way is given up.
    if (port_.portOpen() || std::exchange(opening_, Opening::None) != Opening::None)
        port_.closePort();
}

QString BoardSession::rateChangeRefusal() const {
    return port_.rateChangeRefusal();
}

void BoardSession::stopTimers() {
    timer1_->stop();
    timer2_->stop();
    timer3_->stop();
    timer4_->stop();
    baudChangePause_->stop();
    lineIdleTimer_->stop();
}

void BoardSession::onPortLost(const QString& device, const QString& reason) {
    const int sent = pacer_ ? uploadBytesSent() : -1;
    if (pacer_)
        endUpload(UploadEnding::PortLost);
    stopTimers();
    setState(SessionState::Disconnected);
    emit portLost(device, reason, sent);
}

} // namespace engine
