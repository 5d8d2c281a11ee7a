#pragma once
// The commands of vantrelctl: their help texts and how each one's words become the messages it
// sends, built with the same message builders as the window's panels. Every argument is checked
// against the board's ranges (from the protocol's command table) before a command is accepted,
// so a run either has every command ready or sends nothing.

#include "ctl/Command.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <span>

namespace ctl {

class Arguments;
class CommandParser;

struct ParsedCommands {
    QList<Command> commands;
    QString error; // names the command, the argument and its range; empty when all is well

    bool ok() const { return error.isEmpty(); }
};

struct CommandEntry {
    using Parse = void (*)(Arguments& arguments, CommandParser& parser, ParsedCommands& into);

    const char* name;
    const char* usage;   // "line X1 Y1 X2 Y2 [--clear]"
    const char* summary; // one line for --help
    const char* details; // the rest of `help COMMAND`
    Parse parse;         // null for the commands that run alone (help, ports)
};

class CommandParser {
public:
    static constexpr int kMaxScriptDepth = 8;

    using StandardInput = std::function<QByteArray()>;
    // `standardInput` reads all of standard input (for `script -`).
    explicit CommandParser(StandardInput standardInput = {});

    static std::span<const CommandEntry> entries();
    static const CommandEntry* find(const QString& name);

    // One command: its name and arguments. `origin` says where it was written (a script line),
    // empty for the command line.
    ParsedCommands parse(const QStringList& words, const QString& origin = {});

    // The commands of a command file ("-": standard input), each line checked.
    void parseScript(const QString& path, ParsedCommands& into);

private:
    StandardInput standardInput_;
    bool standardInputRead_ = false;
    QStringList scriptStack_; // the files being read, outermost first
    QString origin_;
};

} // namespace ctl
