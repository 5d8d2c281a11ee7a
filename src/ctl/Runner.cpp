#include "ctl/Runner.h"

#include "ctl/Clause.h"
#include "ctl/ExitStatus.h"
#include "ctl/FileError.h"
#include "ctl/ProgressBar.h"
#include "engine/TrafficFormat.h"
#include "protocol/Messages.h"
#include "protocol/ReplyText.h"

#include <algorithm>
#include <climits>
#include <csignal>

namespace ctl {

namespace {

constexpr int kProgressEveryMs = 100;
// A reply without "!" is printed once nothing more has come for this long.
constexpr int kHeardFlushMs = 2 * engine::BoardSession::kPollMs;

QString signalName(int signalNumber) {
    switch (signalNumber) {
    case SIGINT:
        return QStringLiteral("Ctrl+C");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGHUP:
        return QStringLiteral("a hang-up (SIGHUP)");
    case SIGPIPE:
        return QStringLiteral("a broken pipe (SIGPIPE)");
    default:
        return QStringLiteral("signal %1").arg(signalNumber);
    }
}

} // namespace

Runner::Runner(engine::BoardSession& session, Invocation invocation, QString device,
               Console& console, QObject* parent)
    : QObject(parent), session_(session), invocation_(std::move(invocation)),
      device_(std::move(device)), console_(console),
      line_(*protocol::LineSettings::ofRateIndex(invocation_.rateIndex)) {
    // A dry run prints every message itself; the rest of --verbose would tell of a board.
    if (invocation_.dryRun)
        invocation_.verbose = false;
    listenTimer_.setSingleShot(true);
    heardFlushTimer_.setSingleShot(true);
    heardFlushTimer_.setInterval(kHeardFlushMs);
    connect(&listenTimer_, &QTimer::timeout, this, &Runner::endListening);
    connect(&heardFlushTimer_, &QTimer::timeout, this, &Runner::flushHeard);

    using S = engine::BoardSession;
    connect(&session_, &S::detected, this, &Runner::onDetected);
    connect(&session_, &S::contrastReported, this, &Runner::onContrastReported);
    connect(&session_, &S::detectionTimedOut, this, &Runner::onDetectionTimedOut);
    connect(&session_, &S::openFailed, this, &Runner::onOpenFailed);
    connect(&session_, &S::opened, this, &Runner::onOpened);
    connect(&session_, &S::allSent, this, &Runner::onAllSent);
    connect(&session_, &S::portLost, this, &Runner::onPortLost);
    connect(&session_, &S::uploadProgress, this, &Runner::onUploadProgress);
    connect(&session_, &S::uploadFinished, this, &Runner::onUploadFinished);
    connect(&session_, &S::traffic, this, &Runner::onTraffic);
    connect(&session_, &S::baudChangeRefused, this,
            [this](const QString& reason) { fail(kUsage, Clause::of(reason)); });
    connect(&session_, &S::replyReceived, this, [this](const QByteArray& bytes) {
        if (listening_)
            heard(bytes);
    });
}

void Runner::start() {
    if (invocation_.verbose)
        console_.err(QStringLiteral("Opening %1 at %2").arg(device_, line_.text()));
    if (invocation_.detect)
        detect(Detection::Start);
    else
        session_.openWithoutDetection(invocation_.portNumber, line_);
    // A failure has been reported through openFailed.
}

void Runner::onOpened() {
    // At the start and after a baud-rate change without detection.
    runNextLater();
}

QString Runner::lineText() const {
    return QStringLiteral("%1 at %2 baud").arg(device_).arg(line_.baud);
}

QString Runner::where() const {
    return current_ ? current_->label() + QStringLiteral(": ") : QString();
}

// --- the steps ---------------------------------------------------------------------------------

void Runner::runNextLater() {
    QMetaObject::invokeMethod(this, &Runner::runNext, Qt::QueuedConnection);
}

void Runner::runNext() {
    if (finished_)
        return;
    if (next_ >= invocation_.commands.size()) {
        current_ = nullptr;
        whenLineIdle([this] { succeed(); });
        return;
    }
    command_ = invocation_.commands.at(next_++);
    current_ = &command_;
    const Command& command = *current_;
    switch (command.action) {
    case Command::Action::Send:
        for (const QByteArray& message : command.messages) {
            if (!session_.send(message)) {
                // A lost port has already ended the run (onPortLost).
                fail(kPortLost, QStringLiteral("the port %1 is closed").arg(device_));
                return;
            }
        }
        runNextLater();
        return;
    case Command::Action::Identify:
        whenLineIdle([this] { detect(Detection::Identify); });
        return;
    case Command::Action::Baud:
        whenLineIdle([this, &command] { changeBaudRate(command); });
        return;
    case Command::Action::Picture:
        startUpload(command);
        return;
    case Command::Action::Listen:
        startListening(command);
        return;
    }
}

void Runner::detect(Detection why) {
    detection_ = why;
    contrast_.reset();
    answer_.clear();
    if (session_.state() == engine::SessionState::Disconnected)
        session_.connectTo(invocation_.portNumber, line_);
    else
        session_.detect();
    // A failure has been reported through openFailed or portLost.
}

void Runner::onDetected() {
    answer_ = session_.detectionText();
    // The contrast is reported right after; go on once it has been.
    QMetaObject::invokeMethod(this, &Runner::afterDetection, Qt::QueuedConnection);
}

void Runner::onContrastReported(int contrast) {
    contrast_ = contrast;
}

void Runner::afterDetection() {
    if (finished_)
        return;
    const QString contrast = contrast_ ? QString::number(*contrast_) : QStringLiteral("unknown");
    if (detection_ == Detection::Identify && !invocation_.dryRun)
        console_.out(QStringLiteral("contrast %1").arg(contrast));
    if (invocation_.verbose)
        console_.err(QStringLiteral("The board answered \"%1\" on %2; contrast %3")
                         .arg(protocol::replyText(answer_), lineText(), contrast));
    runNext();
}

void Runner::onDetectionTimedOut() {
    switch (detection_) {
    case Detection::Start:
        fail(kNoAnswer, QStringLiteral("the board did not answer on %1 within %2 ms (check the "
                                       "cable, the port and the rate, -b; for a board that does "
                                       "not answer, use --no-detect)")
                            .arg(lineText())
                            .arg(engine::BoardSession::kDetectionTimeoutMs));
        return;
    case Detection::Identify:
        fail(kNoAnswer, QStringLiteral("the board did not answer on %1 within %2 ms")
                            .arg(lineText())
                            .arg(engine::BoardSession::kDetectionTimeoutMs));
        return;
    case Detection::Baud:
        fail(kNoAnswer, QStringLiteral("the board did not answer at the new rate, on %1; it may "
                                       "still run at the old rate (is jumper J7 removed?)")
                            .arg(lineText()));
        return;
    }
}

void Runner::onOpenFailed(PortError error, const QString& description) {
    // A port number with no device: the window's advice (plug in, start again) does not fit.
    if (error == PortError::DeviceNotFound &&
        device_ == QStringLiteral("port %1").arg(invocation_.portNumber)) {
        fail(kPortNotOpened, QStringLiteral("no serial device has port number %1 (`vantrelctl "
                                            "ports` lists them; VANTREL_COM%1=DEVICE or -p DEVICE "
                                            "names one)")
                                 .arg(invocation_.portNumber));
        return;
    }
    fail(kPortNotOpened, Clause::of(description));
}

void Runner::onPortLost(const QString& device, const QString& reason, int uploadBytesSent) {
    QString message = QStringLiteral("the port %1 was lost: %2")
                          .arg(device.isEmpty() ? device_ : device, Clause::of(reason));
    if (uploadBytesSent >= 0)
        message += QStringLiteral("; the upload got %1 of %2 bytes to the port")
                       .arg(uploadBytesSent)
                       .arg(engine::BoardSession::kScreenBytes);
    fail(kPortLost, message);
}

void Runner::changeBaudRate(const Command& command) {
    detection_ = Detection::Baud;
    contrast_.reset();
    line_ = *protocol::LineSettings::ofRateIndex(command.rateIndex);
    if (invocation_.verbose)
        console_.err(QStringLiteral("Reopening %1 at %2").arg(device_, line_.text()));
    // Sends SetBaudRate, closes, pauses, then detects again at the new rate (or, without
    // detection, opens again: onOpened).
    if (!session_.changeBaudRate(command.rateIndex) && !finished_)
        fail(kPortLost, QStringLiteral("the port %1 is closed").arg(device_));
}

void Runner::startUpload(const Command& command) {
    uploadClock_.start();
    lastProgressMs_ = -1;
    if (!session_.startUpload(*command.screen) && !finished_)
        fail(kPortLost, QStringLiteral("the port %1 is closed").arg(device_));
}

void Runner::onUploadProgress(int sent) {
    if (!console_.errIsTerminal())
        return;
    const qint64 now = uploadClock_.elapsed();
    if (sent < engine::BoardSession::kScreenBytes && lastProgressMs_ >= 0 &&
        now - lastProgressMs_ < kProgressEveryMs)
        return;
    lastProgressMs_ = now;
    console_.status(ProgressBar::render(sent, engine::BoardSession::kScreenBytes, now));
}

void Runner::onUploadFinished(engine::UploadEnding ending, int sent) {
    console_.endStatus();
    using E = engine::UploadEnding;
    switch (ending) {
    case E::Completed:
        if (invocation_.verbose)
            console_.err(QStringLiteral("Picture sent: %1 bytes in %2 ms")
                             .arg(sent)
                             .arg(uploadClock_.elapsed()));
        runNextLater();
        return;
    case E::Cancelled:
        fail(kSignalBase + interruptedBy_,
             QStringLiteral("stopped by %1 after %2 of %3 picture bytes")
                 .arg(signalName(interruptedBy_))
                 .arg(sent)
                 .arg(engine::BoardSession::kScreenBytes));
        return;
    case E::PortLost:
        return; // portLost follows, with the reason
    case E::WriteFailed:
    case E::PortClosed:
        fail(kPortLost, QStringLiteral("the port %1 closed after %2 of %3 picture bytes")
                            .arg(device_)
                            .arg(sent)
                            .arg(engine::BoardSession::kScreenBytes));
        return;
    }
}

// --- listening ---------------------------------------------------------------------------------

void Runner::startListening(const Command& command) {
    listening_ = true;
    heard_.clear();
    // The session polls the port and hands over what it reads (replyReceived). A dry run has
    // nothing to hear.
    if (invocation_.dryRun) {
        endListening();
        return;
    }
    if (command.listenMs)
        listenTimer_.start(int(std::min<qint64>(*command.listenMs, INT_MAX)));
}

void Runner::heard(const QByteArray& bytes) {
    heard_ += bytes;
    // A touch report or an answer ends with "!": each is one line.
    for (qsizetype end = heard_.indexOf('!'); end >= 0; end = heard_.indexOf('!')) {
        console_.out(protocol::replyText(heard_.left(end + 1)));
        heard_.remove(0, end + 1);
    }
    if (heard_.isEmpty())
        heardFlushTimer_.stop();
    else
        heardFlushTimer_.start();
}

void Runner::flushHeard() {
    if (!heard_.isEmpty())
        console_.out(protocol::replyText(heard_));
    heard_.clear();
}

void Runner::endListening() {
    if (!listening_)
        return;
    listening_ = false;
    listenTimer_.stop();
    heardFlushTimer_.stop();
    flushHeard();
    runNextLater();
}

// --- the line ----------------------------------------------------------------------------------

void Runner::onTraffic(engine::Direction direction, const QByteArray& bytes) {
    if (!invocation_.verbose)
        return;
    // The same words as the traffic monitor's rows.
    const QString meaning = direction == engine::Direction::ToBoard ? decoder_.feed(bytes)
                                                                     : protocol::replyMeaning(bytes);
    console_.err(engine::verboseLine(direction, meaning));
}

void Runner::whenLineIdle(std::function<void()> then) {
    afterLineIdle_ = std::move(then);
    session_.waitUntilSent();
}

void Runner::onAllSent() {
    if (finished_)
        return;
    const std::function<void()> then = std::move(afterLineIdle_);
    afterLineIdle_ = {};
    if (then)
        then();
}

// --- the end -----------------------------------------------------------------------------------

void Runner::interrupt(int signalNumber) {
    if (finished_)
        return;
    if (signalNumber == SIGINT && listening_) {
        endListening();
        return;
    }
    interruptedBy_ = signalNumber;
    if (session_.uploading()) {
        session_.cancelUpload(); // reported by onUploadFinished
        return;
    }
    fail(kSignalBase + signalNumber, QStringLiteral("stopped by %1").arg(signalName(signalNumber)));
}

void Runner::stopOnWriteError(const QString& reason) {
    fail(kWriteError, FileError::cannotWrite(QStringLiteral("standard output"), reason), false);
}

void Runner::succeed() {
    if (finished_)
        return;
    finished_ = true;
    session_.shutDown();
    QMetaObject::invokeMethod(
        this, [this] { emit finished(kDone); }, Qt::QueuedConnection);
}

void Runner::fail(int status, const QString& message, bool sayWhere) {
    if (finished_)
        return;
    finished_ = true;
    listenTimer_.stop();
    heardFlushTimer_.stop();
    listening_ = false;
    console_.err(QStringLiteral("vantrelctl: ") + (sayWhere ? where() : QString()) + message);
    session_.shutDown();
    QMetaObject::invokeMethod(
        this, [this, status] { emit finished(status); }, Qt::QueuedConnection);
}

} // namespace ctl
