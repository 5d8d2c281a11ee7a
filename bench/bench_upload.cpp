// Uploads a full screen through the real serial port to a pseudo-terminal, at 9600 and at
// 115200 baud. A peer thread on the master end notes when the last byte arrives. Prints the upload
// time, its ratio to the line time of the 5,126 bytes, the longest stall of the event loop during
// the upload (a 1 ms heartbeat timer) and whether every byte arrived, in order.
//
// Goals: ratio at most 1.05 at 9600; under 1 s at 115200; no stall longer than 50 ms.

#include "LinePeer.h"
#include "QuietDialogs.h"
#include "engine/BoardSession.h"
#include "panels/picture/PicturePanel.h"
#include "support/PtyPair.h"
#include "support/TempFiles.h"
#include "support/TestBitmaps.h"
#include "support/UploadBench.h"
#include "transport/QtSerialPort.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kUploadBytes =
    2 * (engine::BoardSession::kSetupMessages + engine::BoardSession::kScreenBytes);
constexpr qint64 kGiveUpMs = 60'000;

struct Figures {
    double uploadSeconds = 0;
    double lineSeconds = 0;
    double longestStallMs = 0;
    double stallAtMs = 0; // when the longest stall ended, from the start of the upload
    int received = 0;
    bool inOrder = false;
};

Figures uploadAt(int baud, const QString& picture, PtyPair& pty, LinePeer& peer,
                 const QElapsedTimer& clock) {
    Figures figures;
    const std::unique_ptr<QtSerialPort> port = openPortOn(pty, baud);
    if (!port)
        return figures;
    QuietDialogs dialogs(picture);
    engine::BoardSession session(*port);
    PicturePanel panel(session, dialogs);
    panel.show();
    panel.Command5_Click();
    // As in the program, the window has been painted long before "Send" is pressed.
    runEventsFor(300);
    const QByteArray expected = uploadBytes(panel.uploadBuffer());

    peer.reset();
    const UploadTiming timing = driveUpload(
        panel, clock, [&] { return peer.count() >= kUploadBytes; }, kGiveUpMs);
    // Bytes still on their way once the upload ended.
    QElapsedTimer settle;
    settle.start();
    while (peer.count() < kUploadBytes && settle.elapsed() < 2000)
        ::usleep(1000);

    const QByteArray got = peer.bytes();
    const qint64 endNs = std::max(timing.finishedNs, peer.lastNs());
    figures.uploadSeconds = double(endNs - timing.startNs) / 1e9;
    figures.lineSeconds = double(kUploadBytes) * 10.0 / baud;
    figures.longestStallMs = double(timing.longestStallNs) / 1e6;
    figures.stallAtMs = double(timing.longestStallEndNs - timing.startNs) / 1e6;
    figures.received = int(got.size());
    figures.inOrder = got == expected && dialogs.shown == 0;
    port->closePort();
    return figures;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString picture =
        writeTempFile(dir, QStringLiteral("screen.bmp"),
                      testbmp::write(testbmp::bitmap(160, 128, testbmp::pattern)));

    PtyPair pty;
    if (!pty.isValid()) {
        std::fprintf(stderr, "cannot open a pseudo-terminal: %s\n", qPrintable(pty.errorString()));
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    LinePeer peer(pty.masterFd(), clock);

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
