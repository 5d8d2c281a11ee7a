#include "Version.h"
#include "app/ExitOnTermination.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "app/StartOptions.h"
#include "desktop/ProgramIcon.h"
#include "serial/PortMap.h"
#include "transport/RoutedPort.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// `vantrel --version` and `--help` alone are answered without a display, as on a server.
bool onlyAsksForInformation(int argc, char* argv[]) {
    const auto isInformationOption = [](const char* argument) {
        for (const char* option : {"-h", "--help", "-v", "-V", "--version"})
            if (std::strcmp(argument, option) == 0)
                return true;
        return false;
    };
    return argc > 1 && std::all_of(argv + 1, argv + argc, isInformationOption);
}

} // namespace

int main(int argc, char* argv[]) {
    std::unique_ptr<QCoreApplication> app;
    if (onlyAsksForInformation(argc, argv))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv); // takes the Qt options (-platform, ...)
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION_STRING));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Control panel for the QD70315 graphic LCD board on a serial line. "
                       "VANTREL_COM<n>=DEVICE names the device behind port number n.\n"
                       "Exit status: 0 when the window was closed, 1 on an unknown option, 2 on "
                       "a --port value that is neither a port number 1 to 16 nor an existing "
                       "device, or more than one FILE."));
    parser.addHelpOption();
    // -V as well, as vantrelctl and the serial tools have it.
    const QCommandLineOption versionOption(
        {QStringLiteral("v"), QStringLiteral("V"), QStringLiteral("version")},
        QStringLiteral("Displays version information."));
    parser.addOption(versionOption);
    StartOptions start;
    StartOptions::addTo(parser);
    parser.process(*app); // answers --help, refuses unknown options
    if (parser.isSet(versionOption))
        parser.showVersion();
    if (!start.read(parser)) {
        std::fprintf(stderr, "vantrel: %s (see vantrel --help)\n", qPrintable(start.errorString()));
        return StartOptions::kUsageError;
    }

    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.vantrel.Vantrel"));
    QApplication::setWindowIcon(desktop::programIcon());

    const PortMap portMap = start.portMap();
    transport::RoutedPort port(portMap);
    QtDialogs dialogs;
    MainWindow window(port, dialogs, portMap);
    exitOnTermination(window);
    window.show();
    QTimer::singleShot(0, &window, [&] { start.applyTo(window); });
    return app->exec();
}
