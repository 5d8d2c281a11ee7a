#include "Version.h"
#include "app/ExitOnTermination.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "desktop/ProgramIcon.h"
#include "serial/PortMap.h"
#include "transport/RoutedPort.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
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
                       "Exit status: 0 the window was closed, 1 an unknown option or an "
                       "unexpected argument."));
    parser.addHelpOption();
    // -V as well, as vantrelctl and the serial tools have it.
    const QCommandLineOption versionOption(
        {QStringLiteral("v"), QStringLiteral("V"), QStringLiteral("version")},
        QStringLiteral("Displays version information."));
    parser.addOption(versionOption);
    parser.process(*app); // answers --help, refuses unknown options
    if (parser.isSet(versionOption))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "vantrel: unexpected argument '%s' (see vantrel --help)\n",
                     qPrintable(parser.positionalArguments().constFirst()));
        return 1;
    }

    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.vantrel.Vantrel"));
    QApplication::setWindowIcon(desktop::programIcon());

    const PortMap portMap = PortMap::fromSystem();
    transport::RoutedPort port(portMap);
    QtDialogs dialogs;
    MainWindow window(port, dialogs, portMap);
    exitOnTermination(window);
    window.show();
    return app->exec();
}
