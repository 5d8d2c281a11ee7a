#pragma once
// vantrelctl's command line taken apart and checked as a whole:
//   vantrelctl [-p N|PATH]... [-b BAUD] [--no-detect] [-n] [-v] COMMAND [ARGS] [-- COMMAND ...]
// with the long spellings of --help.
// Pure: it opens no port (it reads the picture and command files the commands name).

#include "ctl/CommandParser.h"
#include "ctl/Invocation.h"

#include <QString>
#include <QStringList>

namespace ctl {

struct ParsedCommandLine {
    Invocation invocation;
    QString error;     // why the command line is refused; empty when it is fine
    QString helpTopic; // the command whose help fits the error, if any

    bool ok() const { return error.isEmpty(); }
};

class CommandLine {
public:
    // `arguments` without the program's name.
    static ParsedCommandLine parse(const QStringList& arguments, CommandParser& parser);
};

} // namespace ctl
