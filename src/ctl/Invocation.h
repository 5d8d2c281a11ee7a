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

    Mode mode = Mode::Run;
    int portNumber = 1; // used when devicePath is empty
    QString devicePath; // --port PATH
    int rateIndex = protocol::kDefaultRateIndex;
    bool detect = true; // false with --no-detect
    bool dryRun = false;
    bool verbose = false;
    QString helpTopic; // the command of `help COMMAND`
    CommandList commands;
};

} // namespace ctl
