// vantrel-board: the virtual QD70315 board on a pseudo-terminal.
//
//   vantrel-board [--link PATH] [--headless] [--rate BAUD] [--log FILE] [--zoom N]
//                 [--screenshot FILE] [--touch-every MS] [--report-every MS]
//
// Prints the device path of its serial line on the first line of standard output; a program
// opens that device (or the link) as its serial port. Every decoded command is logged to
// standard error or FILE. SIGINT, SIGTERM and SIGHUP end it cleanly; the link is removed on exit.
// While it runs, the board announces its device in the user's runtime folder (AnnouncedBoards),
// where the window and vantrelctl find it without any VANTREL_COM<n>.

#include "Version.h"
#include "board/BoardWindow.h"
#include "board/TouchFinger.h"
#include "board/VirtualBoard.h"
#include "desktop/ProgramIcon.h"
#include "display/BoardModel.h"
#include "system/AnnouncedBoards.h"
#include "system/BoardAnnouncement.h"
#include "system/TerminationSignals.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QProcessEnvironment>
#include <QTextStream>
#include <QTime>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

bool hasArgument(int argc, char* argv[], const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // The window needs a GUI application; headless runs, --help and --version need no display.
    const bool headless = hasArgument(argc, argv, "--headless") ||
                          hasArgument(argc, argv, "--help") || hasArgument(argc, argv, "-h") ||
                          hasArgument(argc, argv, "--version") || hasArgument(argc, argv, "-v") ||
                          hasArgument(argc, argv, "-V");
    std::unique_ptr<QCoreApplication> app;
    if (headless)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-board"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION_STRING));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The virtual QD70315 board on a pseudo-terminal. Prints the device path "
                       "of its serial line, then logs every command it decodes.\n"
                       "Exit status: 0 the board ended normally, 1 an unknown option, or the "
                       "pseudo-terminal, the link or the log file cannot be made, 2 a bad option "
                       "value."));
    parser.addHelpOption();
    // -V as well, as vantrelctl and the serial tools have it.
    const QCommandLineOption versionOption(
        {QStringLiteral("v"), QStringLiteral("V"), QStringLiteral("version")},
        QStringLiteral("Displays version information."));
    parser.addOption(versionOption);
    const QCommandLineOption linkOption(QStringLiteral("link"),
                                        QStringLiteral("Make a symbolic link PATH to the device."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption headlessOption(QStringLiteral("headless"),
                                            QStringLiteral("Run without a window."));
    const QCommandLineOption rateOption(
        QStringLiteral("rate"),
        QStringLiteral("The board's rate at start: 2400, 4800, 9600, 14400, 19200, 28800, 38400, "
                       "57600 or 115200 (default 9600)."),
        QStringLiteral("BAUD"), QStringLiteral("9600"));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("Write the log to FILE (default: stderr)."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption zoomOption(QStringLiteral("zoom"),
                                        QStringLiteral("Screen pixels per LCD pixel, 1..8 "
                                                       "(default 4)."),
                                        QStringLiteral("N"), QStringLiteral("4"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window to FILE (PNG) when the board ends."),
        QStringLiteral("FILE"));
    const QCommandLineOption touchOption(
        QStringLiteral("touch-every"),
        QStringLiteral("Touch the glass every MS milliseconds (10..60000), moving over it as a "
                       "finger would; reports go out while the touch screen is on."),
        QStringLiteral("MS"));
    const QCommandLineOption reportOption(
        QStringLiteral("report-every"),
        QStringLiteral("Print \"taken N bytes\" on standard output every MS milliseconds "
                       "(10..60000) and when the board ends: every byte taken from the line."),
        QStringLiteral("MS"));
    parser.addOptions({linkOption, headlessOption, rateOption, logOption, zoomOption,
                       screenshotOption, touchOption, reportOption});
    parser.process(*app);
    if (parser.isSet(versionOption))
        parser.showVersion();

    QTextStream err(stderr);
    const int rateIndex = display::BoardModel::indexOfBaud(parser.value(rateOption).toInt());
    if (rateIndex < 0) {
        err << "vantrel-board: --rate must be one of the board's nine rates\n";
        return 2;
    }
    bool zoomOk = false;
    const int zoom = parser.value(zoomOption).toInt(&zoomOk);
    if (!zoomOk || zoom < 1 || zoom > 8) {
        err << "vantrel-board: --zoom must be 1..8\n";
        return 2;
    }
    if (headless && parser.isSet(screenshotOption)) {
        err << "vantrel-board: --screenshot needs the window\n";
        return 2;
    }

    const auto interval = [&](const QCommandLineOption& option) {
        if (!parser.isSet(option))
            return 0;
        bool ok = false;
        const int ms = parser.value(option).toInt(&ok);
        return ok && ms >= 10 && ms <= 60000 ? ms : -1;
    };
    const int touchMs = interval(touchOption);
    const int reportMs = interval(reportOption);
    if (touchMs < 0 || reportMs < 0) {
        err << "vantrel-board: --touch-every and --report-every take 10..60000 ms\n";
        return 2;
    }

    QFile logFile;
    if (parser.isSet(logOption)) {
        logFile.setFileName(parser.value(logOption));
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            err << "vantrel-board: " << logFile.fileName() << ": " << logFile.errorString() << "\n";
            return 1;
        }
    } else {
        logFile.open(stderr, QIODevice::WriteOnly | QIODevice::Text);
    }
    QTextStream log(&logFile);

    VirtualBoard board;
    board.model().setBaudRate(rateIndex);
    QObject::connect(&board, &VirtualBoard::logLine, [&log](const QString& line) {
        log << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz ")) << line << '\n';
        log.flush();
    });
    if (!board.open()) {
        err << "vantrel-board: cannot open a pseudo-terminal: " << board.errorString() << "\n";
        return 1;
    }
    if (parser.isSet(linkOption) && !board.terminal().createLink(parser.value(linkOption))) {
        err << "vantrel-board: cannot make the link: " << board.errorString() << "\n";
        return 1;
    }
    BoardAnnouncement announcement;
    if (!announcement.announce(AnnouncedBoards::folder(QProcessEnvironment::systemEnvironment()),
                               board.devicePath()))
        err << "vantrel-board: the board is not announced: " << announcement.errorString() << "\n";
    err.flush();
    std::printf("%s\n", qPrintable(board.devicePath()));
    std::fflush(stdout);

    TouchFinger finger(board);
    if (touchMs > 0)
        finger.start(touchMs);
    const auto reportTaken = [&board] {
        std::printf("taken %lld bytes\n", static_cast<long long>(board.terminal().bytesRead()));
        std::fflush(stdout);
    };
    QTimer reportClock;
    QObject::connect(&reportClock, &QTimer::timeout, reportTaken);
    if (reportMs > 0)
        reportClock.start(reportMs);

    std::unique_ptr<BoardWindow> window;
    if (!headless) {
        QGuiApplication::setDesktopFileName(QStringLiteral("org.example.vantrel.VirtualBoard"));
        QApplication::setWindowIcon(desktop::programIcon());
        window = std::make_unique<BoardWindow>(board, zoom);
        window->show();
    }

    TerminationSignals termination({SIGINT, SIGTERM, SIGHUP});
    QObject::connect(&termination, &TerminationSignals::terminationRequested, app.get(), [&](int) {
        if (window && parser.isSet(screenshotOption)) {
            window->refreshNow();
            if (!window->grab().save(parser.value(screenshotOption), "PNG"))
                err << "vantrel-board: cannot save " << parser.value(screenshotOption) << "\n";
        }
        QCoreApplication::quit();
    });

    const int rc = app->exec();
    board.flushLog(); // the last folded lines
    if (reportMs > 0)
        reportTaken();
    window.reset();
    board.terminal().removeLink();
    announcement.withdraw();
    return rc;
}
