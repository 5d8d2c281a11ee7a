// vantrelctl: the board from the command line and from scripts. Everything is checked by
// CommandLine before the port is opened; the Runner then does the work on the event loop.

#include "system/TerminationSignals.h"
#include "ctl/CommandLine.h"
#include "ctl/Console.h"
#include "ctl/DryRun.h"
#include "ctl/ExitStatus.h"
#include "ctl/HelpText.h"
#include "ctl/Runner.h"
#include "engine/BoardSession.h"
#include "serial/PortMap.h"
#include "transport/DryRunPort.h"
#include "transport/RoutedPort.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

QByteArray readStandardInput() {
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    return in.readAll();
}

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

int listPorts(ctl::Console& console) {
    // The same entries as the window's port list: number, device, adapter's product.
    const PortMap map = PortMap::fromSystem();
    const QList<PortEntry> entries = map.entries();
    for (const PortEntry& entry : entries)
        console.out(entry.label());
    if (entries.isEmpty())
        console.err(map.noPortDescription());
    return ctl::kDone;
}

} // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts: scripts ask for it to find out what is installed.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        print(stdout, ctl::HelpText::version());
        return ctl::kDone;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrelctl"));
    ctl::Console console;

    ctl::CommandParser parser(readStandardInput);
    ctl::ParsedCommandLine parsed = ctl::CommandLine::parse(app.arguments().mid(1), parser);
    if (!parsed.ok()) {
        console.err(QStringLiteral("vantrelctl: ") + parsed.error);
        console.err(parsed.helpTopic.isEmpty()
                        ? QStringLiteral("Try 'vantrelctl --help'.")
                        : QStringLiteral("Try 'vantrelctl help %1'.").arg(parsed.helpTopic));
        return ctl::kUsage;
    }
    ctl::Invocation& invocation = parsed.invocation;
    switch (invocation.mode) {
    case ctl::Invocation::Mode::Help:
        print(stdout, ctl::HelpText::overview());
        return ctl::kDone;
    case ctl::Invocation::Mode::Version:
        print(stdout, ctl::HelpText::version());
        return ctl::kDone;
    case ctl::Invocation::Mode::CommandHelp:
        print(stdout, ctl::HelpText::command(*ctl::CommandParser::find(invocation.helpTopic)));
        return ctl::kDone;
    case ctl::Invocation::Mode::Ports:
        return listPorts(console);
    case ctl::Invocation::Mode::Run:
        break;
    }
    std::unique_ptr<SerialPort> port;
    QString device;
    ctl::DryRunPrinter printer(invocation.verbose);
    if (invocation.dryRun) {
        // The ordinary run on a port that prints what it is given.
        port = std::make_unique<transport::DryRunPort>(
            [&](const QByteArray& bytes) { console.out(printer.line(bytes)); });
        device = QStringLiteral("the dry run");
    } else {
        PortMap map = PortMap::fromSystem();
        if (!invocation.devicePath.isEmpty()) {
            map = PortMap({{1, invocation.devicePath}});
            invocation.portNumber = 1;
        }
        device = map.devicePath(invocation.portNumber);
        if (device.isEmpty())
            device = QStringLiteral("port %1").arg(invocation.portNumber);
        port = std::make_unique<transport::RoutedPort>(map);
    }

    engine::BoardSession session(*port);
    ctl::Runner runner(session, invocation, device, console);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &runner,
                     &ctl::Runner::interrupt);
    QObject::connect(&runner, &ctl::Runner::finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    runner.start();
    return app.exec();
}
