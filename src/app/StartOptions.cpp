#include "app/StartOptions.h"

#include "app/MainWindow.h"
#include "panels/connection/ConnectionPanel.h"
#include "serial/PortUrl.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <cstdio>

namespace {

const QString kPort = QStringLiteral("port");
const QString kConnect = QStringLiteral("connect");

QString environmentName(int number) {
    return QStringLiteral("VANTREL_COM%1").arg(number);
}

} // namespace

void StartOptions::addTo(QCommandLineParser& parser) {
    parser.addOption({kPort,
                      QStringLiteral("Select port N (1 to 16) or the device PATH in the port "
                                     "list."),
                      QStringLiteral("N|PATH")});
    parser.addOption({kConnect, QStringLiteral("Press Connect once the window is shown.")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A picture to open on the Graphic page."),
                                 QStringLiteral("[FILE]"));
}

bool StartOptions::read(const QCommandLineParser& parser) {
    connect_ = parser.isSet(kConnect);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        error_ = QStringLiteral("one picture at a time: '%1' is one too many").arg(files.at(1));
        return false;
    }
    file_ = files.value(0);
    if (!parser.isSet(kPort))
        return true;
    const QString value = parser.value(kPort);
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (digits.match(value).hasMatch()) {
        portNumber_ = value.size() <= 2 ? value.toInt() : 0;
        if (portNumber_ >= PortMap::kFirstPort && portNumber_ <= PortMap::kLastPort)
            return true;
        error_ = QStringLiteral("--port %1: port numbers are 1 to 16").arg(value);
        return false;
    }
    if (!PortUrl::isNetworkName(value) && !QFileInfo::exists(value)) {
        error_ = QStringLiteral("--port %1: no such port number or device").arg(value);
        return false;
    }
    portPath_ = value;
    return true;
}

PortMap StartOptions::portMap() {
    PortMap map = PortMap::fromSystem();
    if (portPath_.isEmpty())
        return map;
    const QString canonical = QFileInfo(portPath_).canonicalFilePath();
    int last = 0;
    for (const PortEntry& entry : map.entries()) {
        if (entry.devicePath == portPath_ ||
            (!canonical.isEmpty() && entry.resolvedPath == canonical)) {
            portNumber_ = entry.number;
            return map;
        }
        last = entry.number;
    }
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (int n = last + 1; n <= PortMap::kLastPort; ++n) {
        if (!environment.contains(environmentName(n))) {
            qputenv(environmentName(n).toLatin1().constData(), portPath_.toLocal8Bit());
            portNumber_ = n;
            return PortMap::fromSystem();
        }
    }
    std::fprintf(stderr, "vantrel: --port %s: every port number is taken\n", qPrintable(portPath_));
    return map;
}

void StartOptions::applyTo(MainWindow& window) const {
    bool selected = true;
    if (portNumber_ != 0 && !window.connectionPanel()->selectPort(portNumber_)) {
        std::fprintf(stderr, "vantrel: port %d is not in the port list\n", portNumber_);
        window.setStatusText(QStringLiteral("Port %1 is not in the port list").arg(portNumber_));
        selected = false;
    }
    if (connect_ && selected)
        window.connectionPanel()->cmd_conecta_Click();
    if (!file_.isEmpty())
        window.openPicture(file_);
}
