#include "engine/UploadPacer.h"

#include "protocol/LineSettings.h"

#include <algorithm>
#include <cassert>

UploadPacer::UploadPacer(int baud, int messageBytes, int messageCount, Clock clock)
    : clock_(std::move(clock)), total_(std::max(0, messageCount)) {
    assert(baud > 0 && messageBytes > 0);
    const protocol::LineSettings line{baud};
    byteNs_ = line.frameNs();
    messageNs_ = line.bytesNs(messageBytes) + kGapNs;
}

int UploadPacer::dueWithin(std::int64_t elapsedNs) const {
    if (elapsedNs < 0)
        return 0;
    return int(std::min<std::int64_t>(total_, elapsedNs / messageNs_ + 1));
}

void UploadPacer::start() {
    startNs_ = clock_();
    nextDueNs_ = startNs_;
    lineFreeNs_ = startNs_;
    sent_ = 0;
}

int UploadPacer::take(std::int64_t queuedBytes) {
    const std::int64_t now = clock_();
    // What is still ahead of the line: by our own account, or by the port's if it holds more.
    std::int64_t queuedNs = std::max({lineFreeNs_ - now, queuedBytes * byteNs_, std::int64_t(0)});
    int count = 0;
    // An idle line always takes one message, however slow the rate.
    while (sent_ < total_ && nextDueNs_ <= now &&
           (queuedNs == 0 || queuedNs + messageNs_ <= kMaxQueuedNs)) {
        ++count;
        ++sent_;
        nextDueNs_ += messageNs_;
        queuedNs += messageNs_;
    }
    lineFreeNs_ = now + queuedNs;
    // Held back by the cap: carry on once the line has all but drained, at the line's pace,
    // instead of chasing the lost time with a queue kept full.
    if (sent_ < total_ && nextDueNs_ <= now)
        nextDueNs_ = std::max(nextDueNs_, lineFreeNs_ - messageNs_);
    return count;
}

std::int64_t UploadPacer::nsUntilNext() const {
    if (done())
        return 0;
    return std::max<std::int64_t>(0, nextDueNs_ - clock_());
}
