// The picture upload of the board session: touch off, page 0, column 0, then the page bytes,
// paced to the line.
#include "engine/BoardSession.h"

#include "protocol/Messages.h"
#include "serial/SerialPort.h"

#include <QTimer>
#include <algorithm>

namespace engine {

namespace {

// The longest an upload tick waits; the pacer says how long, this only bounds it.
constexpr int kMaxUploadTickMs = 50;
constexpr int kUploadMessageBytes = 2;

} // namespace

void BoardSession::setClock(UploadPacer::Clock clock) {
    clock_ = std::move(clock);
}

bool BoardSession::startUpload(const Screen& screen) {
    if (pacer_ || !port_.portOpen())
        return false;
    screen_ = screen;
    // Without a usable rate, pace for the slowest one the board knows.
    const protocol::LineSettings line = port_.settings();
    const int baud = line.boardRuns() ? line.baud : protocol::LineSettings::ofRateIndex(0)->baud;
    pacer_.emplace(baud, kUploadMessageBytes, kScreenBytes, clock_);
    nextMessage_ = 0;
    holdUntilNs_ = clock_();
    emit uploadProgress(0);
    uploadTick();
    return true;
}

int BoardSession::uploadBytesSent() const {
    return std::max(0, nextMessage_ - kSetupMessages);
}

QByteArray BoardSession::uploadMessage(int index) const {
    return uploadMessage(screen_, index);
}

QByteArray BoardSession::uploadMessage(const Screen& screen, int index) {
    switch (index) {
    case 0:
        return protocol::setTouchMode(protocol::kTouchOff);
    case 1:
        return protocol::setPage(0);
    case 2:
        return protocol::setColumn(0);
    default:
        return protocol::putPattern(screen[std::size_t(index - kSetupMessages)]);
    }
}

void BoardSession::scheduleUploadTick(std::int64_t waitNs) {
    uploadTimer_->start(std::clamp(int((waitNs + 999'999) / 1'000'000), 1, kMaxUploadTickMs));
}

void BoardSession::uploadTick() {
    if (!pacer_)
        return;
    if (!port_.portOpen()) {
        endUpload(UploadEnding::PortClosed);
        return;
    }
    if (port_.carriesAtOnce()) {
        // Nothing to pace: every message goes now, in order.
        for (; nextMessage_ < kSetupMessages + kScreenBytes; ++nextMessage_) {
            if (!write(uploadMessage(nextMessage_))) {
                endUpload(UploadEnding::WriteFailed);
                return;
            }
        }
        emit uploadProgress(uploadBytesSent());
        endUpload(UploadEnding::Completed);
        return;
    }
    // The setup messages go one at a time, each followed by its line time and the board's
    // pause; the page bytes then follow the line's own pace.
    while (nextMessage_ < kSetupMessages) {
        const std::int64_t now = clock_();
        if (now < holdUntilNs_) {
            scheduleUploadTick(holdUntilNs_ - now);
            return;
        }
        if (!write(uploadMessage(nextMessage_))) {
            endUpload(UploadEnding::WriteFailed);
            return;
        }
        const std::int64_t pauseNs = nextMessage_ == 0 ? kTouchOffPauseNs : kAddressPauseNs;
        holdUntilNs_ = now + pacer_->byteNs() * kUploadMessageBytes + pauseNs;
        ++nextMessage_;
    }
    if (!pacerStarted_) {
        const std::int64_t now = clock_();
        if (now < holdUntilNs_) {
            scheduleUploadTick(holdUntilNs_ - now);
            return;
        }
        pacer_->start();
        pacerStarted_ = true;
    }
    const int count = pacer_->take(port_.bytesToWrite());
    for (int i = 0; i < count; ++i) {
        if (!write(uploadMessage(nextMessage_))) {
            endUpload(UploadEnding::WriteFailed);
            return;
        }
        ++nextMessage_;
    }
    emit uploadProgress(uploadBytesSent());
    if (pacer_->done()) {
        endUpload(UploadEnding::Completed);
        return;
    }
    scheduleUploadTick(pacer_->nsUntilNext());
}

void BoardSession::cancelUpload() {
    if (pacer_)
        endUpload(UploadEnding::Cancelled);
}

void BoardSession::endUpload(UploadEnding ending) {
    if (!pacer_)
        return;
    const int sent = uploadBytesSent();
    pacer_.reset();
    pacerStarted_ = false;
    uploadTimer_->stop();
    emit uploadFinished(ending, sent);
}

} // namespace engine
