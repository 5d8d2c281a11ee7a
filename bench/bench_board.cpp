// The virtual board under a flood of random commands. Prints:
//   - the decode rate of the board's model, interpreter and log alone, in this process;
//   - the decode rate of the real `vantrel-board --headless`, fed through its pseudo-terminal,
//     and the bytes of log it wrote for them;
//   - how long that process takes to end after SIGTERM while a writer floods its line.
//
// The random bytes leave out 0x0F (SetBaudRate): with it the board would soon switch to another
// rate and drop the rest as line noise instead of decoding it.
//
// Goals: at least 5 MB/s decoded headless; the log of 50 MB stays small (under 1 MB); SIGTERM
// honoured within 100 ms under any input.
//
//   bench_board [MEGABYTES]     (default 50; the board is $VANTREL_BOARD or ../vantrel-board)

#include "board/VirtualBoard.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <random>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr int kSignalTries = 5;
constexpr int kFloodBeforeSignalMs = 500;
constexpr int kGiveUpMs = 120'000;
// A board that does not end while it is flooded ends once the writer gives up, this long after
// the signal.
constexpr int kWriterAfterSignalMs = 10'000;

std::vector<std::uint8_t> randomCommands(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; i += 4) {
        const std::uint32_t r = random();
        for (std::size_t k = 0; k < 4 && i + k < size; ++k) {
            const auto b = std::uint8_t(r >> (8 * k));
            bytes[i + k] = b == 0x0F ? 0x0E : b;
        }
    }
    return bytes;
}

double megabytes(std::size_t bytes) {
    return double(bytes) / 1e6;
}

double processorSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The processor time a running process has used so far (user and system), from /proc.
double processorSecondsOf(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return double(fields[11].toLongLong() + fields[12].toLongLong()) /
           double(::sysconf(_SC_CLK_TCK));
}

// The model, the interpreter and the log, as the board runs them, without the line.
void decodeInProcess(const std::vector<std::uint8_t>& stream) {
    VirtualBoard board;
    std::size_t logBytes = 0;
    std::size_t logLines = 0;
    QObject::connect(&board, &VirtualBoard::logLine, [&](const QString& line) {
        logBytes += std::size_t(line.toUtf8().size()) + 1;
        ++logLines;
    });
    QElapsedTimer clock;
    clock.start();
    const double processorStart = processorSeconds();
    for (std::size_t at = 0; at < stream.size(); at += kChunk)
        board.interpreter().feed(stream.data() + at, std::min(kChunk, stream.size() - at));
    board.flushLog();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const double processor = processorSeconds() - processorStart;
    std::printf("in process: %.1f MB decoded in %.2f s: %.1f MB/s (%.1f MB per processor "
                "second); %zu log lines, %zu bytes\n",
                megabytes(stream.size()), seconds, megabytes(stream.size()) / seconds,
                megabytes(stream.size()) / processor, logLines, logBytes);
}

// A running `vantrel-board --headless` and the program's end of its line.
class Board {
public:
    Board(const QString& program, const QString& logPath) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(program, {QStringLiteral("--headless"), QStringLiteral("--log"), logPath});
        if (!process_.waitForStarted(10'000) || !process_.waitForReadyRead(10'000))
            return;
        const QByteArray device = process_.readLine().trimmed();
        fd_ = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0)
            return;
        termios t{};
        ::tcgetattr(fd_, &t);
        ::cfmakeraw(&t);
        ::cfsetspeed(&t, B9600); // the board's rate at start
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    ~Board() {
        if (fd_ >= 0)
            ::close(fd_);
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    bool isOpen() const { return fd_ >= 0; }
    qint64 pid() const { return process_.processId(); }

    // Writes all of `bytes`, waiting while the line is full. False when the line fails, `stop`
    // says so or the board does not take the bytes for kGiveUpMs.
    bool write(const std::uint8_t* bytes, std::size_t size,
               const std::function<bool()>& stop = {}) {
        std::size_t at = 0;
        while (at < size) {
            if (stop && stop())
                return false;
            const ssize_t n = ::write(fd_, bytes + at, std::min(kChunk, size - at));
            if (n > 0) {
                at += std::size_t(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, stop ? 20 : kGiveUpMs) == 0 && !stop)
                return false;
            if (p.revents & (POLLERR | POLLHUP))
                return false;
        }
        return true;
    }

    // Reads the board's replies until `wanted` has come.
    bool awaitReply(const QByteArray& wanted) {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (!got.contains(wanted) && clock.elapsed() < kGiveUpMs) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, n);
        }
        return got.contains(wanted);
    }

    // Sends SIGTERM and returns the milliseconds until the process has ended (-1: it has not
    // within kGiveUpMs).
    double terminate() {
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(process_.processId()), SIGTERM);
        if (!process_.waitForFinished(kGiveUpMs))
            return -1;
        return double(clock.nsecsElapsed()) / 1e6;
    }

private:
    QProcess process_;
    int fd_ = -1;
};

// Feeds the stream through the board's line, waits until it has been decoded (a query after it
// is answered) and ends the board.
bool decodeHeadless(const QString& program, const std::vector<std::uint8_t>& stream,
                    const QString& logPath) {
    Board board(program, logPath);
    if (!board.isOpen()) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
        return false;
    }
    // 45 zero bytes end whatever command the stream left open (a text ends after 45
    // characters); then SetContrast 123, Identify, SetContrast 45, Identify.
    std::vector<std::uint8_t> marker(45, 0x00);
    for (std::uint8_t b : {0x10, 123, 0x49, 0x44, 0x10, 45, 0x49, 0x44})
        marker.push_back(b);

    QElapsedTimer clock;
    clock.start();
    const bool written =
        board.write(stream.data(), stream.size()) && board.write(marker.data(), marker.size());
    const bool answered = written && board.awaitReply("123!45!");
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const double processor = processorSecondsOf(board.pid());
    const double ms = board.terminate();
    const qint64 logBytes = QFileInfo(logPath).size();
    if (!answered) {
        std::printf("headless: the board did not take %.1f MB within %d s\n",
                    megabytes(stream.size()), kGiveUpMs / 1000);
        return false;
    }
    const double rate = megabytes(stream.size()) / seconds;
    std::printf(
        "headless: %.1f MB of random commands through the line in %.2f s: %.2f MB/s "
        "(goal >= 5: %s); the board used %.2f processor seconds: %.1f MB per processor second\n",
        megabytes(stream.size()), seconds, rate, rate >= 5 ? "met" : "MISSED", processor,
        processor > 0 ? megabytes(stream.size()) / processor : 0.0);
    std::printf("headless: log for %.1f MB: %lld bytes (goal < 1 MB: %s); ended %.1f ms after "
                "SIGTERM\n",
                megabytes(stream.size()), logBytes, logBytes < 1'000'000 ? "met" : "MISSED", ms);
    return rate >= 5 && logBytes < 1'000'000;
}

// SIGTERM while a writer floods the line without pause.
bool signalUnderFlood(const QString& program, const std::vector<std::uint8_t>& stream,
                      const QString& logPath) {
    std::vector<double> latencies;
    for (int i = 0; i < kSignalTries; ++i) {
        Board board(program, logPath);
        if (!board.isOpen()) {
            std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
            return false;
        }
        std::atomic<bool> signalled{false};
        std::atomic<bool> stop{false};
        QElapsedTimer sinceSignal;
        std::thread writer([&] {
            const auto stopped = [&] {
                return stop || (signalled && sinceSignal.elapsed() > kWriterAfterSignalMs);
            };
            while (board.write(stream.data(), stream.size(), stopped)) {
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(kFloodBeforeSignalMs));
        sinceSignal.start();
        signalled = true;
        latencies.push_back(board.terminate());
        stop = true;
        writer.join();
        QFile::remove(logPath);
        if (latencies.back() < 0 || latencies.back() > kWriterAfterSignalMs)
            break; // it waits for the writer: one try says enough
    }
    const bool anyStuck =
        std::any_of(latencies.begin(), latencies.end(), [](double ms) { return ms < 0; });
    const double worst = anyStuck ? -1 : *std::max_element(latencies.begin(), latencies.end());
    std::printf("SIGTERM under a flood, %d tries (ms):", int(latencies.size()));
    for (double ms : latencies)
        std::printf(" %.1f", ms);
    if (anyStuck)
        std::printf(" - not ended within %d s (goal <= 100 ms: MISSED)\n", kGiveUpMs / 1000);
    else
        std::printf("; worst %.1f ms (goal <= 100 ms: %s)\n", worst,
                    worst <= 100 ? "met" : "MISSED");
    return !anyStuck && worst <= 100;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    const std::size_t size =
        std::size_t(argc > 1 ? std::max(1, std::atoi(argv[1])) : 50) * 1'000'000;
    QString program = qEnvironmentVariable("VANTREL_BOARD");
    if (program.isEmpty())
        program = QDir(QCoreApplication::applicationDirPath())
                      .filePath(QStringLiteral("../vantrel-board"));
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("board.log"));
    const std::vector<std::uint8_t> stream = randomCommands(size, 20240611);

    decodeInProcess(stream);
    std::fflush(stdout);
    bool ok = decodeHeadless(program, stream, logPath);
    std::fflush(stdout);
    ok = signalUnderFlood(program, stream, logPath) && ok;
    return ok ? 0 : 1;
}
