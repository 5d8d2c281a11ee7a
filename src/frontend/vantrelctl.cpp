// vantrelctl: the board from the command line and from scripts. Everything is checked by
// CommandLine before a port is opened; BoardRuns then runs it on each board on the event loop.

#include "ctl/BoardRuns.h"
#include "ctl/CommandLine.h"
#include "ctl/Console.h"
#include "ctl/DryRun.h"
#include "ctl/ExitStatus.h"
#include "ctl/FileError.h"
#include "ctl/HelpText.h"
#include "ctl/LibraryMessages.h"
#include "ctl/Mirror.h"
#include "ctl/PortListing.h"
#include "ctl/ScreenOutput.h"
#include "ctl/ScreenRender.h"
#include "ctl/ScriptFile.h"
#include "ctl/StandardStreams.h"
#include "engine/CSessionWriter.h"
#include "serial/PortMap.h"
#include "system/TerminationSignals.h"
#include "transport/DryRunPort.h"
#include "transport/RoutedPort.h"

#include <QCoreApplication>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>
#include <unistd.h>

namespace {

// The status to end with once everything is written: a write error (1) when standard output did
// not take it all, or as SIGPIPE would have it when its reader went away.
int exitStatus(const ctl::Console& console, int status) {
    const int error = console.outputError();
    if (error == 0)
        return status;
    const QString message = ctl::FileError::cannotWrite(
        QStringLiteral("standard output"), QString::fromLocal8Bit(std::strerror(error)));
    std::fprintf(stderr, "vantrelctl: %s\n", qPrintable(message));
    return error == EPIPE ? ctl::kSignalBase + SIGPIPE : ctl::kWriteError;
}

} // namespace

int main(int argc, char** argv) {
    ctl::StandardStreams::holdClosed();
    ctl::Console console;
    if (ctl::StandardStreams::outputClosed())
        console.failOutput(EBADF);
    // Answered before Qt starts: scripts ask for it to find out what is installed.
    if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-V") == 0)) {
        console.write(ctl::HelpText::version());
        return exitStatus(console, ctl::kDone);
    }
    ctl::LibraryMessages::install();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrelctl"));

    ctl::CommandParser parser([](qint64 maxBytes) {
        const QString shown = QStringLiteral("standard input");
        if (ctl::StandardStreams::inputClosed())
            return ctl::ScriptBytes{
                {}, ctl::FileError::cannotRead(shown, QStringLiteral("it is closed"))};
        return ctl::ScriptFile::readDescriptor(STDIN_FILENO, shown, maxBytes);
    });
    ctl::ParsedCommandLine parsed = ctl::CommandLine::parse(app.arguments().mid(1), parser);
    ctl::LibraryMessages::setVerbose(parsed.invocation.verbose);
    if (!parsed.ok()) {
        console.err(QStringLiteral("vantrelctl: ") + parsed.error);
        console.err(parsed.helpTopic.isEmpty()
                        ? QStringLiteral("Try 'vantrelctl --help'.")
                        : QStringLiteral("Try 'vantrelctl help %1'.").arg(parsed.helpTopic));
        return ctl::kUsage;
    }
    const ctl::Invocation& invocation = parsed.invocation;
    switch (invocation.mode) {
    case ctl::Invocation::Mode::Help:
        console.write(ctl::HelpText::overview());
        return exitStatus(console, ctl::kDone);
    case ctl::Invocation::Mode::Version:
        console.write(ctl::HelpText::version());
        return exitStatus(console, ctl::kDone);
    case ctl::Invocation::Mode::CommandHelp:
        console.write(ctl::HelpText::command(*ctl::CommandParser::find(invocation.helpTopic)));
        return exitStatus(console, ctl::kDone);
    case ctl::Invocation::Mode::Ports:
        return exitStatus(console, ctl::PortListing::print(PortMap::fromSystem(), console));
    case ctl::Invocation::Mode::Render:
        return exitStatus(console,
                          ctl::ScreenRender::render(
                              invocation,
                              QStringLiteral("vantrelctl ") + app.arguments().mid(1).join(u' '),
                              console));
    case ctl::Invocation::Mode::Convert:
        return exitStatus(console, ctl::ScreenOutput::writeConverted(invocation, console));
    case ctl::Invocation::Mode::Run:
        break;
    }
    ctl::DryRunPrinter printer(invocation.verbose);
    std::vector<engine::TrafficRow> sentAsC; // --format c: printed as one array at the end
    if (invocation.dryRun) // flushed at the end; a write error is reported then, once
        console.setFlushEachLine(false);
    // A dry run is the ordinary run on a port that prints what it is given.
    ctl::BoardRuns runs(
        invocation, console, [&](const PortMap& map) -> std::unique_ptr<SerialPort> {
            if (invocation.dryRun)
                return std::make_unique<transport::DryRunPort>([&](const QByteArray& bytes) {
                    if (invocation.dryRunAsC)
                        sentAsC.push_back({0, engine::Direction::ToBoard, bytes, {}});
                    else
                        console.out(printer.line(bytes));
                });
            return std::make_unique<transport::RoutedPort>(map);
        });
    std::optional<ctl::Mirror> mirror;
    if (invocation.mirror) {
        mirror.emplace(*invocation.mirror);
        runs.tapSent([&mirror](const QByteArray& bytes) { mirror->feed(bytes); });
    }
    if (!invocation.dryRun)
        console.onOutputError = [&runs](int error) {
            if (error == EPIPE) // the reader went away: end as SIGPIPE does
                runs.interrupt(SIGPIPE);
            else
                runs.stopOnWriteError(QString::fromLocal8Bit(std::strerror(error)));
        };
    TerminationSignals termination({SIGHUP, SIGINT, SIGTERM, SIGPIPE});
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &runs,
                     &ctl::BoardRuns::interrupt);
    QObject::connect(&runs, &ctl::BoardRuns::finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    runs.start();
    int status = app.exec();
    if (mirror) // what was sent, also when the run stopped early
        status = std::max(status, mirror->write(console));
    if (!invocation.dryRun)
        return status;
    if (invocation.dryRunAsC)
        console.write(QString::fromUtf8(engine::CSessionWriter::write(
            sentAsC, QStringLiteral("vantrel_session"), QStringLiteral("vantrelctl --dry-run"))));
    console.flush();
    return exitStatus(console, status);
}
