#pragma once
// What the soak watches in its own process: resident memory, open files and threads from /proc,
// and the longest stall of the event loop (a 10 ms clock that notes how late it ticks).

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

class SoakProbe : public QObject {
public:
    static constexpr int kTickMs = 10;

    SoakProbe() {
        clock_.setTimerType(Qt::PreciseTimer);
        connect(&clock_, &QTimer::timeout, this, [this] {
            const qint64 late = sinceTick_.restart() - kTickMs;
            longestStallMs_ = std::max(longestStallMs_, late);
            stallThisMinuteMs_ = std::max(stallThisMinuteMs_, late);
        });
        sinceTick_.start();
        clock_.start(kTickMs);
    }

    // From /proc/self/status: "VmRSS:  43120 kB" -> bytes; "Threads: 7".
    static qint64 statusField(const char* name) {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray key = QByteArray(name) + ':';
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith(key))
                return line.mid(key.size()).trimmed().split(' ').first().toLongLong();
        return -1;
    }
    static qint64 rssBytes() { return statusField("VmRSS") * 1024; }
    static int threads() { return int(statusField("Threads")); }
    static int openFiles() {
        return int(QDir(QStringLiteral("/proc/self/fd"))
                       .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                       .size());
    }

    qint64 longestStallMs() const { return longestStallMs_; }
    // The longest stall since the last call.
    qint64 takeMinuteStallMs() { return std::exchange(stallThisMinuteMs_, 0); }

private:
    QTimer clock_;
    QElapsedTimer sinceTick_;
    qint64 longestStallMs_ = 0;
    qint64 stallThisMinuteMs_ = 0;
};
