#pragma once
// Paces a run of equal messages by the time they take on the serial line, so that the board gets
// them about as fast as the line carries them and a progress count tells the truth.
//
// Message i is due `i * messageNs()` after the start, where a message's time is its bytes on
// the line (10 bits each: start, 8 data, stop) plus a short gap for the board. A caller asks
// take() now and then (a window timer cannot tick every 0.27 ms, so messages go in small
// batches) and hands over as many messages as it returns. Never more than kMaxQueuedNs of data
// is let ahead of the line: after the event loop has stood still, the overdue messages are not
// dumped at once, and the lost time is not made up by running faster than the line.
//
// Plain arithmetic over an injected clock, so tests can drive it without waiting.

#include <cstdint>
#include <functional>

class UploadPacer {
public:
    using Clock = std::function<std::int64_t()>; // monotonic time in nanoseconds

    // After every message, for the board. Short: at 9600 baud a gap of 0.1 ms alone would
    // stretch the upload by 5 per cent over the line's own time.
    static constexpr std::int64_t kGapNs = 50'000;
    static constexpr std::int64_t kMaxQueuedNs = 50'000'000; // data allowed ahead of the line

    UploadPacer(int baud, int messageBytes, int messageCount, Clock clock);

    std::int64_t byteNs() const { return byteNs_; }
    std::int64_t messageNs() const { return messageNs_; }
    int total() const { return total_; }
    int sent() const { return sent_; }
    bool done() const { return sent_ >= total_; }

    // Messages the schedule lets go within `elapsedNs` of the start; the first goes at once.
    int dueWithin(std::int64_t elapsedNs) const;

    // Starts the schedule now.
    void start();
    // How many messages to hand over now, given the bytes the port still holds; they count as
    // sent.
    int take(std::int64_t queuedBytes = 0);
    // Time from now until take() will hand over the next message; 0 when it would now or when
    // everything is sent.
    std::int64_t nsUntilNext() const;

private:
    Clock clock_;
    std::int64_t byteNs_;
    std::int64_t messageNs_;
    int total_;
    int sent_ = 0;
    std::int64_t startNs_ = 0;
    std::int64_t nextDueNs_ = 0;  // clock time the next message is due
    std::int64_t lineFreeNs_ = 0; // clock time the line has carried everything handed over
};
