#pragma once
// The board's end of a pseudo-terminal in a benchmark: reads it on its own thread and notes
// when the last byte came, so the upload's real time on the line is measured without the
// event loop under test doing the reading.

#include <QByteArray>
#include <QElapsedTimer>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

class LinePeer {
public:
    LinePeer(int fd, const QElapsedTimer& clock) : fd_(fd), clock_(clock) {
        thread_ = std::thread([this] { run(); });
    }
    ~LinePeer() {
        stop_ = true;
        thread_.join();
    }
    LinePeer(const LinePeer&) = delete;
    LinePeer& operator=(const LinePeer&) = delete;

    int count() const { return count_.load(); }
    void reset() {
        std::lock_guard lock(mutex_);
        bytes_.clear();
        lastNs_ = 0;
        count_ = 0;
    }
    QByteArray bytes() const {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    // The clock's time when the last byte was read; 0 before any.
    qint64 lastNs() const {
        std::lock_guard lock(mutex_);
        return lastNs_;
    }

private:
    void run() {
        char buffer[4096];
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) {
                if (n < 0 && errno != EAGAIN && errno != EINTR)
                    ::usleep(1000); // EIO while no slave is open
                continue;
            }
            const qint64 now = clock_.nsecsElapsed();
            std::lock_guard lock(mutex_);
            bytes_.append(buffer, n);
            lastNs_ = now;
            count_ = int(bytes_.size());
        }
    }

    int fd_;
    const QElapsedTimer& clock_;
    std::atomic<bool> stop_{false};
    std::atomic<int> count_{0};
    mutable std::mutex mutex_;
    QByteArray bytes_;
    qint64 lastNs_ = 0;
    std::thread thread_;
};
