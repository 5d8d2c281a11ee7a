// Uploads a full screen through the real serial port to a pseudo-terminal, at 9600 and at
// 115200 baud. A peer thread on the master end timestamps every byte. Prints the upload time,
// its ratio to the line time of the 5,126 bytes, the longest stall of the event loop during the
// upload (a 1 ms heartbeat timer) and whether every byte arrived, in order.
//
// Goals: ratio at most 1.05 at 9600; under 1 s at 115200; no stall longer than 50 ms.

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/picture/PicturePanel.h"
#include "serial/PortMap.h"
#include "serial/QtSerialPort.h"
#include "support/TestBitmaps.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kUploadBytes =
    2 * (engine::BoardSession::kSetupMessages + engine::BoardSession::kScreenBytes);
constexpr qint64 kGiveUpMs = 60'000;

class QuietDialogs : public Dialogs {
public:
    explicit QuietDialogs(QString file) : file_(std::move(file)) {}
    Answer message(QWidget*, const QString& text, MessageStyle, const QString& title) override {
        std::fprintf(stderr, "  message box \"%s\": %s\n", qPrintable(title), qPrintable(text));
        ++shown;
        return Answer::Ok;
    }
    QString openFileName(QWidget*, const QString&) override { return file_; }
    QString saveFileName(QWidget*, const QString&) override { return {}; }
    int shown = 0;

private:
    QString file_;
};

// A raw pseudo-terminal: the slave is the "serial device", the master the board's end.
struct Pty {
    int master = -1;
    int slave = -1; // kept open so the master never sees a hang-up between port openings
    QString slavePath;

    bool open() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return false;
        slavePath = QString::fromLocal8Bit(::ptsname(master));
        slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (slave < 0)
            return false;
        termios raw{};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        return ::tcsetattr(slave, TCSANOW, &raw) == 0;
    }
    ~Pty() {
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
    }
};

// Reads the master end on its own thread and notes when each byte came.
class Peer {
public:
    Peer(int fd, const QElapsedTimer& clock) : fd_(fd), clock_(clock) {
        thread_ = std::thread([this] { run(); });
    }
    ~Peer() {
        stop_ = true;
        thread_.join();
    }
    int count() const { return count_.load(); }
    void reset() {
        std::lock_guard lock(mutex_);
        bytes_.clear();
        times_.clear();
        count_ = 0;
    }
    std::vector<unsigned char> bytes() const {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    std::vector<qint64> times() const {
        std::lock_guard lock(mutex_);
        return times_;
    }

private:
    void run() {
        unsigned char buffer[4096];
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
            bytes_.insert(bytes_.end(), buffer, buffer + n);
            times_.insert(times_.end(), std::size_t(n), now);
            count_ = int(bytes_.size());
        }
    }

    int fd_;
    const QElapsedTimer& clock_;
    std::atomic<bool> stop_{false};
    std::atomic<int> count_{0};
    mutable std::mutex mutex_;
    std::vector<unsigned char> bytes_;
    std::vector<qint64> times_;
    std::thread thread_;
};

struct Figures {
    double uploadSeconds = 0;
    double lineSeconds = 0;
    double longestStallMs = 0;
    double stallAtMs = 0; // when the longest stall ended, from the start of the upload
    int received = 0;
    bool inOrder = false;
};

Figures uploadAt(int baud, const QString& picture, Pty& pty, Peer& peer,
                 const QElapsedTimer& clock) {
    Figures figures;
    QtSerialPort port(PortMap({{1, pty.slavePath}}, [](const QString&) { return true; }));
    port.setCommPort(1);
    port.setSettings(QStringLiteral("%1,N,8,1").arg(baud));
    const OpenResult opened = port.openPort();
    if (!opened.ok) {
        std::fprintf(stderr, "  cannot open %s: %s\n", qPrintable(pty.slavePath),
                     qPrintable(opened.description));
        return figures;
    }
    QuietDialogs dialogs(picture);
    engine::BoardSession session(port);
    PicturePanel panel(session, dialogs);
    panel.show();
    panel.Command5_Click();
    {
        // As in the program, the window has been painted long before "Send" is pressed.
        QEventLoop settle;
        QTimer::singleShot(300, &settle, &QEventLoop::quit);
        settle.exec();
    }

    QByteArray expected;
    expected.append("\x05\x00\x06\x00\x12\x00", 6);
    for (int s = 0; s < PicturePanel::kScreenBytes; ++s) {
        expected.append(char(0x03));
        expected.append(char(255 - panel.uploadBuffer().stream(s)));
    }

    peer.reset();
    bool finished = false;
    qint64 finishedNs = 0;
    QObject::connect(&panel, &PicturePanel::uploadFinished, [&] {
        finished = true;
        finishedNs = clock.nsecsElapsed();
    });

    qint64 lastBeat = 0;
    qint64 longestGap = 0;
    qint64 longestGapEnd = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (!finished && now - lastBeat > longestGap) {
            longestGap = now - lastBeat;
            longestGapEnd = now;
        }
        lastBeat = now;
    });

    QEventLoop loop;
    QTimer watch;
    watch.setInterval(5);
    QElapsedTimer waited;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if ((finished && peer.count() >= kUploadBytes) || waited.elapsed() > kGiveUpMs)
            loop.quit();
    });

    const qint64 startNs = clock.nsecsElapsed();
    lastBeat = startNs;
    heartbeat.start();
    watch.start();
    waited.start();
    panel.Command3_Click();
    loop.exec();
    // Bytes still on their way once the upload ended.
    QElapsedTimer settle;
    settle.start();
    while (peer.count() < kUploadBytes && settle.elapsed() < 2000)
        ::usleep(1000);

    const std::vector<unsigned char> got = peer.bytes();
    const std::vector<qint64> times = peer.times();
    const qint64 endNs = std::max(finishedNs, times.empty() ? 0 : times.back());
    figures.uploadSeconds = double(endNs - startNs) / 1e9;
    figures.lineSeconds = double(kUploadBytes) * 10.0 / baud;
    figures.longestStallMs = double(longestGap) / 1e6;
    figures.stallAtMs = double(longestGapEnd - startNs) / 1e6;
    figures.received = int(got.size());
    figures.inOrder = got.size() == std::size_t(expected.size()) &&
                      std::equal(got.begin(), got.end(),
                                 reinterpret_cast<const unsigned char*>(expected.constData()));
    if (dialogs.shown != 0)
        figures.inOrder = false;
    port.closePort();
    return figures;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("screen.bmp"));
    testbmp::Spec spec;
    spec.index = testbmp::pattern;
    QFile file(picture);
    if (!file.open(QIODevice::WriteOnly) || file.write(testbmp::write(spec)) <= 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(picture));
        return 2;
    }
    file.close();

    Pty pty;
    if (!pty.open()) {
        std::fprintf(stderr, "cannot open a pseudo-terminal\n");
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    Peer peer(pty.master, clock);

    bool allArrived = true;
    for (const int baud : {9600, 115200}) {
        const Figures f = uploadAt(baud, picture, pty, peer, clock);
        const double ratio = f.lineSeconds > 0 ? f.uploadSeconds / f.lineSeconds : 0;
        const bool timeGoal = baud == 9600 ? ratio <= 1.05 : f.uploadSeconds < 1.0;
        std::printf("%6d baud: upload %.3f s, line time of %d bytes %.3f s, ratio %.4f (%s %s)\n",
                    baud, f.uploadSeconds, kUploadBytes, f.lineSeconds, ratio,
                    baud == 9600 ? "goal <= 1.05:" : "goal < 1 s:", timeGoal ? "met" : "MISSED");
        std::printf("%6s       longest event-loop stall %.1f ms, ending %.0f ms into the upload "
                    "(goal <= 50 ms: %s)\n",
                    "", f.longestStallMs, f.stallAtMs, f.longestStallMs <= 50.0 ? "met" : "MISSED");
        std::printf("%6s       %d of %d bytes arrived, every byte in order: %s\n", "", f.received,
                    kUploadBytes, f.inOrder ? "yes" : "NO");
        std::fflush(stdout);
        allArrived = allArrived && f.inOrder;
    }
    return allArrived ? 0 : 1;
}
