#pragma once
// Everything one vantrelctl command line asks for, checked: the options before the first
// command and the commands in the order they run.

#include "ctl/CommandList.h"
#include "ctl/OutputOptions.h"
#include "protocol/BaudRates.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace ctl {

struct Invocation {
    enum class Mode {
        Run,         // open the port and run `commands`
        Help,        // --help, or `help` alone
        Version,     // --version
        CommandHelp, // `help COMMAND`
        Ports,       // `ports`
        Render,      // `render`: run `commands` on the display model, write the screen
        Convert,     // `convert`: write `converted` (a picture made a screen)
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
    bool dryRunAsC = false; // --dry-run --format c: the messages as one C array

    OutputOptions output; // render and convert: where the screen goes
    // --mirror FILE: what the board should show at the end of the run, written there
    std::optional<OutputOptions> mirror;
    std::shared_ptr<const engine::Screen> converted; // convert: the screen
    QString convertedFrom;                            // convert: the picture's path
    QString conversion;                               // convert: how, in words
};

} // namespace ctl
