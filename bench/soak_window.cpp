// The soak: the window (offscreen) on the virtual board (vantrel-board, its own process) over a
// pseudo-terminal, worked for SOAK_MINUTES (default 10) through every kind of command while the
// board's finger touches the glass every 50 ms. Prints each minute and at the end: resident
// memory, open files, threads, the longest event-loop stall, bytes sent against bytes the board
// took, and the traffic log against its bound; then a verdict against the goals: RSS < 100 MB,
// growth over the last half < 3 MB, open files and threads constant, every byte taken.
//
// Not a test (make soak runs it, never make test): its figures depend on the machine.

#include "BoardProcess.h"
#include "SoakProbe.h"
#include "SoakSteps.h"
#include "app/MainWindow.h"
#include "engine/BoardSession.h"
#include "engine/TrafficLog.h"
#include "panels/monitor/TrafficMonitor.h"
#include "panels/picture/ConvertPictureDialog.h"
#include "support/FindControl.h"
#include "support/RecordingDialogs.h"
#include "support/TestBitmaps.h"
#include "transport/QtSerialPort.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <malloc.h>

namespace {

constexpr int kTouchMs = 50;
constexpr int kRates[] = {2400, 4800, 9600, 14400, 19200, 28800, 38400, 57600, 115200};
constexpr int kFastRate = 8;                  // uploads at 115200
constexpr int kDownRates[] = {7, 4, 2, 6, 0}; // one change down each round, then back up
constexpr int kUploadsPerRound = 12;          // eight one-bit, four converted

double mb(qint64 bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

struct Sample {
    double minute;
    qint64 rss;
    int files;
    int threads;
};

// Bytes the C library's heap has handed out and not taken back: finer than RSS for a leak.
qint64 heapInUse() {
    return qint64(mallinfo2().uordblks);
}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (!text.startsWith(QStringLiteral("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    const double minutes = qEnvironmentVariableIsSet("SOAK_MINUTES")
                               ? qEnvironmentVariable("SOAK_MINUTES").toDouble()
                               : 10.0;
    const qint64 runMs = qint64(minutes * 60'000);

    BoardProcess board;
    if (!board.start(QStringLiteral(VANTREL_BOARD_PATH), kRates[kFastRate], kTouchMs, 200)) {
        std::fprintf(stderr, "soak: the virtual board did not start (%s)\n", VANTREL_BOARD_PATH);
        return 1;
    }

    // Pictures: two one-bit BMPs and a grey PNG that "Convert Picture" makes one-bit.
    QTemporaryDir dir;
    QStringList bitmaps;
    for (int k = 0; k < 2; ++k) {
        const QString path = dir.filePath(QStringLiteral("soak%1.bmp").arg(k));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(testbmp::write(testbmp::bitmap(
            160, 128, [k](int x, int y) { return ((x * (3 + k) + y * 7) % 11 < 5) ? 1 : 0; })));
        bitmaps << path;
    }
    const QString photo = dir.filePath(QStringLiteral("soak.png"));
    QImage grey(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.setPixel(x, y, qRgb(x * 255 / 640, y * 255 / 480, (x ^ y) & 0xFF));
    grey.save(photo);

    const PortMap map({{1, board.devicePath()}}, [](const QString&) { return true; });
    QtSerialPort port(map);
    RecordingDialogs dialogs;
    MainWindow window(port, dialogs, map);
    window.show();
    SoakProbe probe;

    qint64 sent = 0;
    qint64 received = 0;
    QObject::connect(&window.session(), &engine::BoardSession::traffic,
                     [&](engine::Direction direction, const QByteArray& bytes) {
                         (direction == engine::Direction::ToBoard ? sent : received) +=
                             bytes.size();
                     });
    qint64 uploads = 0;
    qint64 unexpectedBoxes = 0;
    int rateIndex = kFastRate;

    auto find = [&](const char* name) { return findControl<QWidget>(&window, name); };
    auto click = [&](const char* name) { findControl<QAbstractButton>(&window, name)->click(); };
    auto field = [&](const char* name, int value) {
        findControl<QLineEdit>(&window, name)->setText(QString::number(value));
    };
    auto polling = [&] { return window.session().state() == engine::SessionState::Polling; };
    auto connectedAt = [&](int index) {
        return polling() && findControl<QLabel>(&window, "StatusPanel1")->text() ==
                                QStringLiteral("Connected: COM1 %1,N,8,1").arg(kRates[index]);
    };
    // Opens or closes the window a View menu action shows, as a user would: the action, or
    // for a window the action only opens, its own close. The board mirror is optional: a
    // program without the action skips it.
    auto toggle = [&](const char* actionName, const char* windowName, bool open) {
        QAction* action = window.findChild<QAction*>(QString::fromLatin1(actionName));
        if (!action)
            return;
        if (action->isCheckable()) {
            if (action->isChecked() != open)
                action->trigger();
        } else if (open) {
            action->trigger();
        } else {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String(windowName) && w->isVisible())
                    w->close();
        }
    };

    using Step = SoakSteps::Step;
    auto upload = [&](std::vector<Step>& steps, const QString& file, bool converted) {
        steps.push_back({QStringLiteral("open picture"), [&, file] {
                             dialogs.fileNames.enqueue(file);
                             click("Command5");
                         }});
        if (converted)
            steps.push_back({QStringLiteral("convert"), [&] {
                                 if (auto* d = window.findChild<ConvertPictureDialog*>())
                                     findControl<QAbstractButton>(d, "okButton")->click();
                             }});
        steps.push_back({QStringLiteral("upload"), [&] { click("Command3"); },
                         [&] { return !window.session().uploading(); }, 60000});
        steps.push_back({QStringLiteral("touch on"), [&] {
                             ++uploads;
                             click("CmdAnalog");
                         }});
    };

    QElapsedTimer elapsed;
    std::vector<Sample> roundEnds;
    qint64 round = 0;
    auto cycle = [&] {
        std::vector<Step> s;
        const qint64 r = round++;
        s.push_back({QStringLiteral("connect"), [&] {
                         findControl<QComboBox>(&window, "cboBR")->setCurrentIndex(rateIndex);
                         click("cmd_conecta");
                     },
                     polling});
        s.push_back({QStringLiteral("touch on"), [&] { click("CmdAnalog"); }});
        for (int font = 1; font <= 4; ++font)
            s.push_back({QStringLiteral("text in font %1").arg(font), [&, font, r] {
                             click(QStringLiteral("Option%1").arg(font).toLatin1().constData());
                             click("optChar");
                             QTest::keyClicks(find("Text2"),
                                              QStringLiteral("Font %1 round %2 ").arg(font).arg(r));
                         }});
        s.push_back({QStringLiteral("string"), [&] {
                         click("optString");
                         QTest::keyClicks(find("Text2"), QStringLiteral("A string of text"));
                         QTest::keyClick(find("Text2"), Qt::Key_Return);
                         click("optChar");
                     }});
        s.push_back({QStringLiteral("drawing"), [&, r] {
                         const int d = int(r % 40);
                         click("Option5"); // draw
                         click("Option7"); // line
                         field("Text15", d), field("Text16", 0), field("Text18", 159 - d),
                             field("Text19", 127);
                         click("Command23");
                         click("Option8"); // rectangle, filled
                         click("Option11");
                         click("Command23");
                         click("Option9"); // circle
                         field("Text20", 10 + d), field("Text22", 80), field("Text23", 64);
                         click("Command26");
                         click("Option12"); // pixel
                         field("Text4", d), field("Text3", d);
                         click("cmdSend");
                     }});
        s.push_back({QStringLiteral("display modes"), [&, r] {
                         for (const char* b : {"Command9", "Command10", "Command11", "Command12",
                                               "Command13", "Command14", "Command8", "cmdLCDOFF",
                                               "cmdLCDON", "optRotate180", "optRotate0"})
                             click(b);
                         findControl<QScrollBar>(&window, "HScroll8")->setValue(int(r % 16));
                         click("Command21");
                         findControl<QScrollBar>(&window, "HScroll9")->setValue(int(r % 16));
                         click("Command16");
                     }});
        s.push_back({QStringLiteral("screen memory"), [&, r] {
                         findControl<QScrollBar>(&window, "HScroll4")->setValue(5 + int(r % 199));
                         click("optSave");
                         click("cmdOk"); // "Confirmation" answered Yes
                         click("Command15");
                         click("optLoad");
                         click("cmdOk");
                     }});
        s.push_back({QStringLiteral("monitor and mirror open"), [&] {
                         toggle("mnuTrafficMonitor", "frmTrafficMonitor", true);
                         toggle("mnuBoardMirror", "frmBoardMirror", true);
                     }});
        for (int k = 0; k < kUploadsPerRound; ++k)
            upload(s, k % 3 == 2 ? photo : bitmaps[k % 2], k % 3 == 2);
        s.push_back({QStringLiteral("monitor and mirror closed"), [&] {
                         toggle("mnuTrafficMonitor", "frmTrafficMonitor", false);
                         toggle("mnuBoardMirror", "frmBoardMirror", false);
                     }});
        for (const int to : {kDownRates[r % std::size(kDownRates)], kFastRate})
            s.push_back({QStringLiteral("baud change to %1").arg(kRates[to]), [&, to] {
                             findControl<QComboBox>(&window, "cmbBoudRate")->setCurrentIndex(to);
                             click("Command4"); // "Attention" answered OK
                             rateIndex = to;
                         },
                         [&, to] { return connectedAt(to); }});
        s.push_back({QStringLiteral("disconnect"), [&] {
                         for (const ShownMessage& m : std::as_const(dialogs.messages))
                             if (m.title != QStringLiteral("Attention") &&
                                 m.title != QStringLiteral("Confirmation") &&
                                 unexpectedBoxes++ < 5)
                                 std::printf("  box \"%s\": %s\n", qPrintable(m.title),
                                             qPrintable(m.text));
                         dialogs.messages.clear();
                         click("cmd_conecta");
                     },
                     [&] { return window.session().state() == engine::SessionState::Disconnected; }});
        // Open files and threads are compared at the same point of every round: disconnected.
        s.push_back({QStringLiteral("count files and threads"), [&] {
                         roundEnds.push_back({double(elapsed.elapsed()) / 60000.0, 0,
                                              SoakProbe::openFiles(), SoakProbe::threads()});
                     }});
        return s;
    };

    const engine::TrafficLog& log = window.trafficMonitor()->log();
    elapsed.start();
    std::vector<Sample> samples;
    double boundReachedMinute = -1;
    auto report = [&](const char* label) {
        const double minute = double(elapsed.elapsed()) / 60000.0;
        const Sample s{minute, SoakProbe::rssBytes(), SoakProbe::openFiles(), SoakProbe::threads()};
        samples.push_back(s);
        std::printf("%-6s %5.1f min  RSS %6.1f MB  heap %5.1f MB  files %3d  threads %2d  "
                    "stall %4lld ms  "
                    "sent %9lld  taken %9lld  log %7lld rows %5.1f / %.0f MB (%lld dropped)  "
                    "uploads %lld\n",
                    label, minute, mb(s.rss), mb(heapInUse()), s.files, s.threads,
                    static_cast<long long>(probe.takeMinuteStallMs()),
                    static_cast<long long>(sent), static_cast<long long>(board.bytesTaken()),
                    static_cast<long long>(log.rowCount()), mb(log.bytesUsed()),
                    mb(log.maxBytes()), static_cast<long long>(log.droppedRows()),
                    static_cast<long long>(uploads));
        std::fflush(stdout);
    };
    QTimer minuteClock;
    QObject::connect(&minuteClock, &QTimer::timeout, [&] { report("minute"); });
    QTimer boundWatch;
    QObject::connect(&boundWatch, &QTimer::timeout, [&] {
        if (boundReachedMinute < 0 && log.droppedRows() > 0)
            boundReachedMinute = double(elapsed.elapsed()) / 60000.0;
    });
    boundWatch.start(1000);

    std::printf("Soak: %.1f min; the board (its own process) touches every %d ms. Each round: "
                "connect, touch on, text in fonts 1-4 and a string, line, filled rectangle, "
                "circle, pixel, eight display modes, LCD off/on, rotation, page flip and clear, "
                "screen save/clear/load, monitor%s open, %d uploads at 115200 (of every three, "
                "two one-bit and one converted from 640x480), each followed by touch on, monitor "
                "closed, a baud change down and back up to 115200, disconnect.\n",
                minutes, kTouchMs,
                window.findChild<QAction*>(QStringLiteral("mnuBoardMirror")) ? " and mirror"
                                                                              : " (no mirror)",
                kUploadsPerRound);
    report("start");
    minuteClock.start(60000);

    // After the time is up: the port closed, then until the board has taken everything sent.
    QElapsedTimer draining;
    SoakSteps steps(
        cycle, [&] { return elapsed.elapsed() >= runMs; },
        [&] {
            minuteClock.stop();
            draining.start();
            auto* drain = new QTimer(&app);
            QObject::connect(drain, &QTimer::timeout, [&] {
                if (board.bytesTaken() >= sent || draining.elapsed() > 10000)
                    app.quit();
            });
            drain->start(50);
        });
    steps.start();
    app.exec();
    report("end");

    // The verdict, against the goals.
    const Sample& last = samples.back();
    const double half = last.minute / 2;
    qint64 halfRss = samples.front().rss;
    qint64 peakRss = 0;
    int filesMin = INT_MAX, filesMax = 0, threadsMin = INT_MAX, threadsMax = 0;
    for (const Sample& s : samples) {
        peakRss = std::max(peakRss, s.rss);
        if (s.minute <= half + 1e-9)
            halfRss = s.rss;
    }
    for (std::size_t i = 1; i < roundEnds.size(); ++i) { // after the first round's warm-up
        const Sample& s = roundEnds[i];
        filesMin = std::min(filesMin, s.files), filesMax = std::max(filesMax, s.files);
        threadsMin = std::min(threadsMin, s.threads), threadsMax = std::max(threadsMax, s.threads);
    }
    const double growth = mb(last.rss - halfRss);
    const bool rssOk = peakRss < 100 * 1024 * 1024;
    const bool growthOk = growth < 3.0;
    const bool filesOk = filesMin == filesMax && threadsMin == threadsMax;
    const bool bytesOk = board.bytesTaken() == sent;
    const bool boundOk = boundReachedMinute >= 0 && boundReachedMinute <= half;
    std::printf("Workload: %lld rounds, %lld steps, %lld uploads, %lld bytes sent, %lld received, "
                "%lld steps timed out, %lld unexpected message boxes; the log's bound was %s.\n",
                static_cast<long long>(steps.rounds()), static_cast<long long>(steps.stepsDone()),
                static_cast<long long>(uploads), static_cast<long long>(sent),
                static_cast<long long>(received), static_cast<long long>(steps.timeouts()),
                static_cast<long long>(unexpectedBoxes),
                boundReachedMinute < 0
                    ? "never reached"
                    : qPrintable(QStringLiteral("reached at %1 min").arg(boundReachedMinute, 0, 'f',
                                                                        1)));
    std::printf("Verdict: %s  RSS peak %.1f MB (< 100: %s), last-half growth %.2f MB (< 3: %s), "
                "files %d..%d threads %d..%d at round ends (constant: %s), taken %lld of %lld bytes (%s), "
                "longest stall %lld ms, log bound reached before half-time: %s\n",
                rssOk && growthOk && filesOk && bytesOk && boundOk ? "PASS" : "FAIL",
                mb(peakRss), rssOk ? "yes" : "no", growth, growthOk ? "yes" : "no", filesMin,
                filesMax, threadsMin, threadsMax, filesOk ? "yes" : "no",
                static_cast<long long>(board.bytesTaken()), static_cast<long long>(sent),
                bytesOk ? "all" : "MISSING", static_cast<long long>(probe.longestStallMs()),
                boundOk ? "yes" : "no");
    return rssOk && growthOk && filesOk && bytesOk ? 0 : 1;
}
