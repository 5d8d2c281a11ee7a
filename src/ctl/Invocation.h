#pragma once
// Everything one vantrelctl command line asks for, checked: the options before the first
// command and the commands in the order they run.

#include "ctl/CommandList.h"
#include "protocol/BaudRates.h"

#include <QList>
#include <QString>

namespace ctl {

struct Invocation {
    enum class Mode {
        Run,         // open the port and run `commands`
        Help,        // --help, or `help` alone
        Version,     // --version
        CommandHelp, // `help COMMAND`
        Ports,       // `ports`
    };

    // One --port: a port number, or a device path or URL (then `number` is unused).
    struct Port {
        int number = 1;
        QString path;
    };

    Mode mode = Mode::Run;
    QList<Port> ports;  // each --port in the order given; none: port 1
    int portNumber = 1; // the number the runner opens in its port's map (BoardRuns sets it)
    int rateIndex = protocol::kDefaultRateIndex;
    bool detect = true; // false with --no-detect
    bool dryRun = false;
    bool verbose = false;
    QString helpTopic; // the command of `help COMMAND`
    CommandList commands;
};

} // namespace ctl
