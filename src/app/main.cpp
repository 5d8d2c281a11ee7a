#include "Version.h"
#include "app/ExitOnTermination.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "serial/PortMap.h"
#include "serial/QtSerialPort.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION_STRING));

    const PortMap portMap = PortMap::fromSystem();
    QtSerialPort port(portMap);
    QtDialogs dialogs;
    MainWindow window(port, dialogs, portMap);
    exitOnTermination(window);
    window.show();
    return app.exec();
}
