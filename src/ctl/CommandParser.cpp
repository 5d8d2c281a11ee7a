#include "ctl/CommandParser.h"

#include "ctl/Arguments.h"
#include "ctl/FileError.h"
#include "ctl/ScriptReader.h"

#include <QFileInfo>

namespace ctl {

CommandParser::CommandParser(StandardInput standardInput)
    : standardInput_(std::move(standardInput)) {}

std::shared_ptr<const engine::Screen>
CommandParser::sharedScreen(const engine::Screen& screen) {
    const QByteArray key(reinterpret_cast<const char*>(screen.data()), qsizetype(screen.size()));
    auto& shared = screens_[key];
    if (!shared)
        shared = std::make_shared<const engine::Screen>(screen);
    return shared;
}

ParsedCommands CommandParser::parse(const QStringList& words, const QString& script, int line) {
    ParsedCommands result;
    const QString where =
        script.isEmpty() ? QString() : QStringLiteral("%1 line %2: ").arg(script).arg(line);
    if (words.isEmpty()) {
        result.error = where + QStringLiteral("a command is missing");
        return result;
    }
    const QString& name = words.first();
    const CommandEntry* entry = find(name);
    if (!entry) {
        result.error = where + (name.startsWith(QStringLiteral("--"))
                                    ? QStringLiteral("%1 is no command (options go before the "
                                                     "first command)")
                                          .arg(name)
                                    : QStringLiteral("unknown command \"%1\"").arg(name));
        return result;
    }
    if (!entry->parse) {
        result.error = where + QStringLiteral("%1 runs alone, not with other commands").arg(name);
        return result;
    }
    Arguments arguments(words.mid(1), QString::fromLatin1(entry->usage));
    entry->parse(arguments, *this, result);
    if (arguments.failed())
        result.error = arguments.error();
    if (!result.ok()) {
        result.error = where + name + QStringLiteral(": ") + result.error;
        result.commands.clear();
        return result;
    }
    result.commands.nameUnnamed(name, script, line);
    return result;
}

ScriptBytes CommandParser::readStandardInput(qint64 maxBytes, const QString& what) {
    const QString shown = QStringLiteral("standard input");
    ScriptBytes bytes;
    if (standardInputRead_)
        bytes.error = FileError::cannotRead(shown, QStringLiteral("one command has read it"));
    else if (standardInput_)
        bytes = standardInput_(maxBytes);
    standardInputRead_ = true;
    if (bytes.tooLarge)
        bytes.error = FileError::tooLarge(shown, maxBytes, what);
    return bytes;
}

void CommandParser::parseScript(const QString& path, ParsedCommands& into) {
    const bool standardInput = path == QStringLiteral("-");
    const QString shown = standardInput ? QStringLiteral("standard input") : path;
    if (scriptStack_.size() >= kMaxScriptDepth) {
        into.error = QStringLiteral("scripts run scripts more than %1 deep (at %2)")
                         .arg(kMaxScriptDepth)
                         .arg(shown);
        return;
    }
    ScriptBytes script;
    QString key = path;
    if (standardInput) {
        script = readStandardInput(ScriptFile::kMaxBytes, QStringLiteral("a command file"));
    } else {
        key = QFileInfo(path).canonicalFilePath();
        if (scriptStack_.contains(key)) {
            into.error = QStringLiteral("%1 runs itself").arg(shown);
            return;
        }
        script = ScriptFile::read(path);
    }
    if (!script.ok()) {
        into.error = script.error;
        return;
    }
    scriptStack_ << key;
    const ScriptError unreadable =
        ScriptReader::read(script.bytes, [&](int number, const QStringList& words) {
            const ParsedCommands one = parse(words, shown, number);
            if (!one.ok())
                into.error = one.error;
            else
                into.commands << one.commands;
            return one.ok();
        });
    if (!unreadable.ok())
        into.error =
            QStringLiteral("%1 line %2: %3").arg(shown).arg(unreadable.line).arg(unreadable.error);
    scriptStack_.removeLast();
}

} // namespace ctl
