#pragma once
// What --help, --version and `help COMMAND` print.

#include "ctl/CommandParser.h"

#include <QString>

namespace ctl {

class HelpText {
public:
    static QString overview();
    static QString command(const CommandEntry& entry);
    static QString version();
};

} // namespace ctl
