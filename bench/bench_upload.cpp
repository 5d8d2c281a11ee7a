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
#include "transport/QtSerialPort.h"
#include "support/PtyPair.h"
#include "support/TempFiles.h"
#include "support/TestBitmaps.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
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
    QtSerialPort port(pty.portMap(1));
    port.setCommPort(1);
    port.setSettings(protocol::LineSettings{baud});
    const OpenResult opened = port.openPort();
    if (!opened.ok) {
        std::fprintf(stderr, "  cannot open %s: %s\n", qPrintable(pty.slavePath()),
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

    const QByteArray got = peer.bytes();
    const qint64 endNs = std::max(finishedNs, peer.lastNs());
    figures.uploadSeconds = double(endNs - startNs) / 1e9;
    figures.lineSeconds = double(kUploadBytes) * 10.0 / baud;
    figures.longestStallMs = double(longestGap) / 1e6;
    figures.stallAtMs = double(longestGapEnd - startNs) / 1e6;
    figures.received = int(got.size());
    figures.inOrder = got == expected && dialogs.shown == 0;
    port.closePort();
    return figures;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    testbmp::Spec spec;
    spec.index = testbmp::pattern;
    const QString picture = writeTempFile(dir, QStringLiteral("screen.bmp"), testbmp::write(spec));

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
