#pragma once
// The commands of vantrelctl: their help texts and how each one's words become the messages it
// sends, built with the same message builders as the window's panels. Every argument is checked
// against the board's ranges (from the protocol's command table) before a command is accepted,
// so a run either has every command ready or sends nothing.

#include "ctl/CommandList.h"
#include "ctl/ScriptFile.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <span>

namespace ctl {

class Arguments;
class CommandParser;

struct ParsedCommands {
    CommandList commands;
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

    using StandardInput = std::function<ScriptBytes(qint64 maxBytes)>;
    // `standardInput` reads all of standard input, at most `maxBytes` (for `script -` and
    // `picture -`).
    explicit CommandParser(StandardInput standardInput = {});

    static std::span<const CommandEntry> entries();
    static const CommandEntry* find(const QString& name);

    // One command: its name and arguments. `script` and `line` say where it was written; no
    // script for the command line.
    ParsedCommands parse(const QStringList& words, const QString& script = {}, int line = 0);

    // The commands of a command file ("-": standard input), each line checked.
    void parseScript(const QString& path, ParsedCommands& into);

    // Standard input, read whole for the one command that may read it; `what` names what it
    // must be when it holds more than `maxBytes` ("a command file").
    ScriptBytes readStandardInput(qint64 maxBytes, const QString& what);

    // One copy of each picture however many commands upload it.
    std::shared_ptr<const engine::Screen>
    sharedScreen(const engine::Screen& screen);

private:
    StandardInput standardInput_;
    QHash<QByteArray, std::shared_ptr<const engine::Screen>> screens_;
    bool standardInputRead_ = false;
    QStringList scriptStack_; // the files being read, outermost first
};

} // namespace ctl
