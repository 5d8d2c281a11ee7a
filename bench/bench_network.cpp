// A board on another machine, as ser2net serves it, on this machine:
//   - the picture upload through the board session over rfc2217:// to ser2net, which passes it
//     on to a pseudo-terminal; a peer thread on the master end (the board's end) notes when the
//     last byte arrives. At 9600 baud: the ratio of the upload time to the line time of its
//     5,126 bytes. At 115200: the same, beside the upload on a local pseudo-terminal.
//   - `vantrelctl --rate 115200 picture FILE` as a whole process on one virtual board behind
//     ser2net, and on four at once (four --port): the total time of each.
// Goals: ratio at most 1.05 at 9600; at 115200 within 10% of the local pseudo-terminal; four
// boards within 20% of one.

#include "LinePeer.h"
#include "board/VirtualBoard.h"
#include "engine/BoardSession.h"
#include "support/BoardPixels.h"
#include "support/ProgramRun.h"
#include "support/PtyPair.h"
#include "support/Ser2net.h"
#include "support/TestBitmaps.h"
#include "support/UploadBench.h"
#include "transport/RoutedPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#ifndef VANTRELCTL_PATH
#error "VANTRELCTL_PATH must name the built vantrelctl"
#endif

namespace {

constexpr int kUploadBytes =
    2 * (engine::BoardSession::kSetupMessages + engine::BoardSession::kScreenBytes);
constexpr int kGiveUpMs = 60'000;
constexpr int kRuns = 3;

bool lit(int x, int y) {
    return (x * 5 + y * 3) % 7 == 0 || x < 4; // columns 0..3 are FF, which Telnet escapes
}

// Seconds from the start of the upload to the board's receipt of its last byte; negative when
// the bytes did not all arrive, in order.
double uploadSeconds(const QString& portName, int baud, LinePeer& peer,
                     const QElapsedTimer& clock) {
    transport::RoutedPort port(PortMap({{1, portName}}));
    engine::BoardSession session(port);
    bool opened = false;
    bool finished = false;
    QObject::connect(&session, &engine::BoardSession::opened, [&] { opened = true; });
    QObject::connect(&session, &engine::BoardSession::openFailed,
                     [&](PortError, const QString& why) {
                         std::fprintf(stderr, "  %s: %s\n", qPrintable(portName), qPrintable(why));
                     });
    QObject::connect(&session, &engine::BoardSession::uploadFinished, [&] { finished = true; });
    session.openWithoutDetection(1, protocol::LineSettings{baud});
    QElapsedTimer waited;
    waited.start();
    while (!opened && session.state() != engine::SessionState::Disconnected &&
           waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    if (!opened)
        return -1;
    runEventsFor(200); // the server's negotiation is over
    peer.reset();

    engine::Screen screen{};
    QByteArray expected("\x05\x00\x06\x00\x12\x00", 6);
    for (int s = 0; s < engine::kScreenBytes; ++s) {
        screen[std::size_t(s)] = std::uint8_t(s * 37 + (s % 160 < 4 ? 255 : 0));
        expected.append(char(0x03)).append(char(screen[std::size_t(s)]));
    }
    const qint64 startNs = clock.nsecsElapsed();
    session.startUpload(screen);
    waited.restart();
    while ((!finished || peer.count() < kUploadBytes) && waited.elapsed() < kGiveUpMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    session.shutDown();
    if (peer.bytes() != expected)
        return -1;
    return double(peer.lastNs() - startNs) / 1e9;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median seconds of kRuns uploads to a fresh pseudo-terminal, through ser2net when
// `network`; negative when one failed.
double medianUpload(int baud, bool network, const QElapsedTimer& clock) {
    std::vector<double> seconds;
    for (int run = 0; run < kRuns; ++run) {
        PtyPair pty;
        LinePeer peer(pty.masterFd(), clock);
        std::unique_ptr<Ser2net> server;
        if (network) {
            server = std::make_unique<Ser2net>(pty.slavePath(), baud);
            if (!server->started())
                return -1;
        }
        const double s =
            uploadSeconds(network ? server->rfc2217() : pty.slavePath(), baud, peer, clock);
        if (s < 0)
            return -1;
        seconds.push_back(s);
    }
    return median(seconds);
}

// The median milliseconds of kRuns runs of vantrelctl putting the picture at `path` on the
// first `count` boards at once; negative when a run failed or a board did not show it.
double medianBoardsRun(std::vector<std::unique_ptr<VirtualBoard>>& boards,
                       const std::vector<std::unique_ptr<Ser2net>>& servers, int count,
                       const QString& path) {
    const display::BoardModel::Memory expected = memoryShowing(lit);
    QStringList arguments{QStringLiteral("--rate"), QStringLiteral("115200")};
    for (int i = 0; i < count; ++i)
        arguments << QStringLiteral("--port") << servers[std::size_t(i)]->rfc2217();
    arguments << QStringLiteral("picture") << path;
    std::vector<double> ms;
    for (int run = 0; run < kRuns; ++run) {
        for (auto& board : boards)
            board->model().clearDisplay(16);
        QElapsedTimer clock;
        clock.start();
        const Finished f = runProgram(QStringLiteral(VANTRELCTL_PATH), arguments, kGiveUpMs);
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        QElapsedTimer settle;
        settle.start();
        const auto allShow = [&] {
            return std::all_of(boards.begin(), boards.begin() + count,
                               [&](const auto& b) { return b->model().memory() == expected; });
        };
        while (!allShow() && settle.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        if (f.exitCode != 0 || !allShow()) {
            std::fprintf(stderr, "  %d boards: exit %d: %s\n", count, f.exitCode,
                         f.err.constData());
            return -1;
        }
    }
    return median(ms);
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (ser2netProgram().isEmpty()) {
        std::printf("ser2net is not installed (scripts/setup.sh --test installs it): skipped\n");
        return 0;
    }
    QElapsedTimer clock;
    clock.start();
    int status = 0;

    std::printf("Picture upload, %d bytes, the board's receipt of the last byte "
                "(median of %d):\n",
                kUploadBytes, kRuns);
    const double line9600 = kUploadBytes * 10.0 / 9600;
    const double net9600 = medianUpload(9600, true, clock);
    std::printf("    9600 baud over rfc2217://: %.3f s, line time %.3f s, ratio %.4f "
                "(goal <= 1.05: %s)\n",
                net9600, line9600, net9600 / line9600,
                verdict(net9600 > 0 && net9600 / line9600 <= 1.05));
    const double line115200 = kUploadBytes * 10.0 / 115200;
    const double local115200 = medianUpload(115200, false, clock);
    const double net115200 = medianUpload(115200, true, clock);
    std::printf("  115200 baud over rfc2217://: %.3f s, local pseudo-terminal %.3f s, line time "
                "%.3f s; network/local %.3f (goal <= 1.10: %s)\n",
                net115200, local115200, line115200, net115200 / local115200,
                verdict(net115200 > 0 && local115200 > 0 && net115200 / local115200 <= 1.10));
    if (net9600 < 0 || local115200 < 0 || net115200 < 0)
        status = 1;

    // Four virtual boards at 115200, each behind its own ser2net.
    std::vector<std::unique_ptr<VirtualBoard>> boards;
    std::vector<std::unique_ptr<Ser2net>> servers;
    for (int i = 0; i < 4; ++i) {
        boards.push_back(std::make_unique<VirtualBoard>());
        if (!boards.back()->open() || !boards.back()->model().setBaudRate(8))
            return 1;
        servers.push_back(std::make_unique<Ser2net>(boards.back()->devicePath(), 115200));
        if (!servers.back()->started())
            return 1;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    testbmp::Spec bitmap;
    bitmap.index = [](int x, int y) { return lit(x, y) ? 1 : 0; };
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(testbmp::write(bitmap)) <= 0)
        return 1;
    file.close();
    const double one = medianBoardsRun(boards, servers, 1, path);
    const double four = medianBoardsRun(boards, servers, 4, path);
    std::printf("vantrelctl --rate 115200 picture, whole process over rfc2217:// (median of %d):\n"
                "  one board %.1f ms, four boards at once %.1f ms, ratio %.3f (goal <= 1.20: %s)\n",
                kRuns, one, four, four / one, verdict(one > 0 && four > 0 && four / one <= 1.20));
    if (one < 0 || four < 0)
        status = 1;
    return status;
}
