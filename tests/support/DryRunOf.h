#pragma once
// A checked vantrelctl invocation run as `--dry-run` runs it: the ordinary runner and session on
// the dry-run port. Returns the lines the dry run prints, one per message.

#include "ctl/Console.h"
#include "ctl/DryRun.h"
#include "ctl/Runner.h"
#include "engine/BoardSession.h"
#include "transport/DryRunPort.h"

#include <QEventLoop>
#include <QStringList>
#include <cstdio>

inline QStringList dryRunOf(ctl::Invocation invocation, bool decoded = false) {
    invocation.dryRun = true;
    QStringList lines;
    ctl::DryRunPrinter printer(decoded);
    transport::DryRunPort port([&](const QByteArray& bytes) { lines << printer.line(bytes); });
    engine::BoardSession session(port);
    std::FILE* quiet = std::fopen("/dev/null", "w");
    ctl::Console console(quiet, quiet);
    ctl::Runner runner(session, invocation, QStringLiteral("the dry run"), console);
    QEventLoop loop;
    QObject::connect(&runner, &ctl::Runner::finished, &loop, &QEventLoop::quit);
    runner.start();
    loop.exec();
    std::fclose(quiet);
    return lines;
}
