// The cost of the traffic monitor during a picture upload. A full screen goes through the real
// serial port to a pseudo-terminal, at 115200 and at 9600 baud, three ways: the monitor closed
// (it still records, as in the program), open, and open holding as many rows as its bound keeps.
// A peer thread on the master end notes when the last byte arrives. Prints, side by side, the
// upload time's ratio to the line time of its 5,126 bytes and the longest stall of the event loop
// during the upload (a 1 ms heartbeat timer), each the median of a few runs.
//
// Goals: with the monitor open, the ratio within 2% of the figure with it closed, and no stall
// longer than 50 ms.

#include "LinePeer.h"
#include "QuietDialogs.h"
#include "engine/BoardSession.h"
#include "panels/monitor/TrafficMonitor.h"
#include "panels/monitor/TrafficTableModel.h"
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
#include <vector>

namespace {

constexpr int kUploadBytes =
    2 * (engine::BoardSession::kSetupMessages + PicturePanel::kScreenBytes);
constexpr qint64 kGiveUpMs = 60'000;

enum class Monitor { Closed, Open, OpenAtBound };

struct Figures {
    double ratio = 0;
    double longestStallMs = 0;
    bool inOrder = false;
    int tableRows = 0;
};

// Rows of a busy session before the upload: messages, replies and folds, until the log's bound
// (of rows, or of memory) begins to drop the oldest.
void fillToBound(TrafficMonitor& monitor) {
    const qsizetype rows = monitor.log().maxRows();
    for (qsizetype i = 0; monitor.log().rowCount() < rows - 10 && monitor.log().droppedRows() == 0;
         ++i) {
        switch (i % 4) {
        case 0:
            monitor.record(engine::Direction::ToBoard, QByteArray("\x06\x03", 2));
            break;
        case 1:
            monitor.record(engine::Direction::FromBoard, QByteArray("45!"));
            break;
        default:
            monitor.record(engine::Direction::ToBoard, QByteArray("\x1F\x01\x0A\x14\x64\x3C"));
        }
    }
}

Figures uploadAt(int baud, Monitor mode, const QString& picture, PtyPair& pty, LinePeer& peer,
                 const QElapsedTimer& clock) {
    Figures figures;
    const std::unique_ptr<QtSerialPort> port = openPortOn(pty, baud);
    if (!port)
        return figures;
    QuietDialogs dialogs(picture);
    engine::BoardSession session(*port);
    PicturePanel panel(session, dialogs);
    TrafficMonitor monitor(dialogs);
    QObject::connect(&session, &engine::BoardSession::traffic, &monitor, &TrafficMonitor::record);
    if (mode == Monitor::OpenAtBound)
        fillToBound(monitor);
    panel.show();
    if (mode != Monitor::Closed)
        monitor.show();
    panel.Command5_Click();
    // As in the program, the windows have been painted long before "Send" is pressed.
    runEventsFor(300);

    peer.reset();
    const UploadTiming timing = driveUpload(
        panel, clock, [&] { return peer.count() >= kUploadBytes; }, kGiveUpMs);
    // Let the monitor's next refresh show the end of the upload.
    runEventsFor(2 * TrafficMonitor::kRefreshMs);

    const QByteArray expected = uploadBytes(panel.uploadBuffer());
    const qint64 endNs = std::max(timing.finishedNs, peer.lastNs());
    const double lineSeconds = double(kUploadBytes) * 10.0 / baud;
    figures.ratio = double(endNs - timing.startNs) / 1e9 / lineSeconds;
    figures.longestStallMs = double(timing.longestStallNs) / 1e6;
    figures.inOrder = peer.bytes() == expected && dialogs.shown == 0;
    figures.tableRows = monitor.model()->rowCount();
    port->closePort();
    return figures;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[]) {
    // The offscreen platform says at every window shown that it cannot do some of it.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (!text.startsWith(QStringLiteral("This plugin does not support")))
            std::fprintf(stderr, "%s%s\n", type == QtWarningMsg ? "warning: " : "",
                         qPrintable(text));
    });
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

    const Monitor modes[] = {Monitor::Closed, Monitor::Open, Monitor::OpenAtBound};
    const char* const names[] = {"closed", "open", "open, at its bound"};
    bool allMet = true;
    std::printf("Picture upload with the traffic monitor (median of the runs; ratio = upload "
                "time / line time of %d bytes)\n",
                kUploadBytes);
    for (const int baud : {115200, 9600}) {
        const int runs = baud == 9600 ? 2 : 5;
        std::vector<double> ratios[3], stalls[3];
        int tableRows[3] = {};
        bool inOrder = true;
        // Interleaved, so that a slow spell of the machine falls on every way alike.
        for (int run = 0; run < runs; ++run)
            for (int m = 0; m < 3; ++m) {
                const Figures f = uploadAt(baud, modes[m], picture, pty, peer, clock);
                ratios[m].push_back(f.ratio);
                stalls[m].push_back(f.longestStallMs);
                tableRows[m] = f.tableRows;
                inOrder = inOrder && f.inOrder;
            }
        const double closedRatio = median(ratios[0]);
        std::printf("%6d baud, %d runs:\n", baud, runs);
        for (int m = 0; m < 3; ++m) {
            const double ratio = median(ratios[m]);
            const double stall = median(stalls[m]);
            const double change = (ratio / closedRatio - 1.0) * 100.0;
            const bool ratioMet = m == 0 || std::abs(change) <= 2.0;
            const bool stallMet = stall <= 50.0;
            allMet = allMet && ratioMet && stallMet;
            std::printf("  monitor %-18s ratio %.4f (%+.2f%%, goal within 2%%: %s)   longest "
                        "stall %5.1f ms (goal <= 50 ms: %s)   table rows %d\n",
                        names[m], ratio, change, m == 0 ? "-" : (ratioMet ? "met" : "MISSED"),
                        stall, stallMet ? "met" : "MISSED", tableRows[m]);
        }
        std::printf("  every byte arrived, in order, in every run: %s\n", inOrder ? "yes" : "NO");
        std::fflush(stdout);
        allMet = allMet && inOrder;
    }
    return allMet ? 0 : 1;
}
