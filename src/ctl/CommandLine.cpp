#include "ctl/CommandLine.h"

#include "ctl/ScreenCommands.h"
#include "protocol/BaudRates.h"
#include "serial/PortMap.h"

#include "ctl/Arguments.h"

#include <QRegularExpression>

namespace ctl {

namespace {

const QString kSeparator = QStringLiteral("--");

// The value of an option given as "--name VALUE" or "--name=VALUE", moving `i` past it.
std::optional<QString> optionValue(const QStringList& arguments, qsizetype& i, const QString& name,
                                   QString& error) {
    const QString& word = arguments[i];
    if (word.startsWith(name + u'='))
        return word.mid(name.size() + 1);
    if (i + 1 >= arguments.size()) {
        error = QStringLiteral("%1 needs a value").arg(name);
        return std::nullopt;
    }
    return arguments[++i];
}

bool isOptionNamed(const QString& word, const QString& name) {
    return word == name || word.startsWith(name + u'=');
}

} // namespace

ParsedCommandLine CommandLine::parse(const QStringList& arguments, CommandParser& parser) {
    ParsedCommandLine result;
    Invocation& run = result.invocation;
    const auto refuse = [&](const QString& error, const QString& topic = {}) {
        result.error = error;
        result.helpTopic = topic;
        return result;
    };

    bool rateGiven = false;
    bool forceGiven = false;
    bool formatGiven = false;
    QStringList mirrorWords; // --mirror FILE as render's --output FILE
    qsizetype i = 0;
    for (; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == kSeparator || !word.startsWith(u'-') || word == QStringLiteral("-"))
            break;
        QString error;
        if (word == QStringLiteral("--help") || word == QStringLiteral("-h")) {
            run.mode = Invocation::Mode::Help;
            return result;
        }
        if (word == QStringLiteral("--version")) {
            run.mode = Invocation::Mode::Version;
            return result;
        }
        if (word == QStringLiteral("--no-detect")) {
            run.detect = false;
        } else if (word == QStringLiteral("--dry-run")) {
            run.dryRun = true;
        } else if (word == QStringLiteral("--verbose")) {
            run.verbose = true;
        } else if (word == QStringLiteral("--force")) {
            forceGiven = true;
        } else if (isOptionNamed(word, QStringLiteral("--format"))) {
            const auto value = optionValue(arguments, i, QStringLiteral("--format"), error);
            if (!value)
                return refuse(error);
            if (*value != QStringLiteral("hex") && *value != QStringLiteral("c"))
                return refuse(QStringLiteral("--format must be hex or c, not \"%1\"").arg(*value));
            run.dryRunAsC = *value == QStringLiteral("c");
            formatGiven = true;
        } else if (isOptionNamed(word, QStringLiteral("--mirror"))) {
            const auto value = optionValue(arguments, i, QStringLiteral("--mirror"), error);
            if (!value)
                return refuse(error);
            mirrorWords = {QStringLiteral("--output"), *value};
        } else if (isOptionNamed(word, QStringLiteral("--port"))) {
            const auto value = optionValue(arguments, i, QStringLiteral("--port"), error);
            if (!value)
                return refuse(error);
            static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
            if (digits.match(*value).hasMatch()) {
                const int n = value->size() <= 3 ? value->toInt() : 0;
                if (n < PortMap::kFirstPort || n > PortMap::kLastPort)
                    return refuse(QStringLiteral("--port takes a port number from %1 to %2 or a "
                                                 "device path, not \"%3\"")
                                      .arg(PortMap::kFirstPort)
                                      .arg(PortMap::kLastPort)
                                      .arg(*value));
                run.ports << Invocation::Port{n, {}};
            } else if (value->trimmed().isEmpty()) {
                return refuse(QStringLiteral("--port needs a port number or a device path"));
            } else {
                // A bare name such as ttyUSB0 is a device in /dev.
                run.ports << Invocation::Port{
                    1, value->contains(u'/') ? *value : QStringLiteral("/dev/") + *value};
            }
        } else if (isOptionNamed(word, QStringLiteral("--rate"))) {
            const auto value = optionValue(arguments, i, QStringLiteral("--rate"), error);
            if (!value)
                return refuse(error);
            if (rateGiven)
                return refuse(QStringLiteral("--rate is given twice"));
            rateGiven = true;
            const auto index = protocol::indexOfRateText(*value);
            if (!index || *value != value->trimmed())
                return refuse(QStringLiteral("--rate must be one of %1, not \"%2\"")
                                  .arg(protocol::rateTexts().join(QStringLiteral(", ")), *value));
            run.rateIndex = *index;
        } else {
            return refuse(QStringLiteral("unknown option %1").arg(word));
        }
    }

    // The commands, separated by "--".
    QList<QStringList> groups;
    QStringList group;
    bool separated = false;
    for (; i < arguments.size(); ++i) {
        if (arguments[i] == kSeparator) {
            if (group.isEmpty())
                return refuse(QStringLiteral("a command is missing before or after --"));
            groups << group;
            group.clear();
            separated = true;
        } else {
            group << arguments[i];
        }
    }
    if (!group.isEmpty())
        groups << group;
    else if (separated)
        return refuse(QStringLiteral("a command is missing after the last --"));
    if (groups.isEmpty())
        return refuse(QStringLiteral("no command given"));

    const QString& first = groups.first().first();
    if (formatGiven && !run.dryRun)
        return refuse(QStringLiteral("--format is for --dry-run"));
    if (!mirrorWords.isEmpty()) {
        if (forceGiven)
            mirrorWords << QStringLiteral("--force");
        Arguments a(mirrorWords, QStringLiteral("--mirror FILE [--force]"));
        run.mirror = OutputOptions::take(a);
        if (!run.mirror)
            return refuse(QStringLiteral("--mirror: ") + a.error().replace(
                QStringLiteral("--output"), QStringLiteral("--mirror")));
        if (run.ports.size() > 1)
            return refuse(QStringLiteral("--mirror takes one board, not %1").arg(run.ports.size()));
    } else if (forceGiven) {
        return refuse(QStringLiteral("--force is for --mirror (render and convert take their "
                                     "own, after the command)"));
    }
    if (first == QStringLiteral("render") || first == QStringLiteral("convert")) {
        // Nothing is opened: the options of a port or a run have nothing to act on.
        if (!run.ports.isEmpty() || rateGiven || !run.detect || run.dryRun || run.mirror)
            return refuse(QStringLiteral("%1 opens no port: --port, --rate, --no-detect, "
                                         "--dry-run and --mirror do not go with it")
                              .arg(first),
                          first);
        if (first == QStringLiteral("convert")) {
            if (groups.size() > 1)
                return refuse(QStringLiteral("convert runs alone, not with other commands"),
                              first);
            const QString error = ScreenCommands::parseConvert(groups.first(), run);
            return error.isEmpty() ? result : refuse(error, first);
        }
        const QString error = ScreenCommands::parseRender(groups, parser, run);
        return error.isEmpty() ? result : refuse(error, first);
    }
    if (first == QStringLiteral("help") || first == QStringLiteral("ports")) {
        if (groups.size() > 1)
            return refuse(QStringLiteral("%1 runs alone, not with other commands").arg(first),
                          first);
        const QStringList& words = groups.first();
        if (first == QStringLiteral("ports")) {
            if (words.size() > 1)
                return refuse(QStringLiteral("ports: too many arguments: \"%1\"")
                                  .arg(words.mid(1).join(u' ')),
                              first);
            run.mode = Invocation::Mode::Ports;
            return result;
        }
        if (words.size() == 1) {
            run.mode = Invocation::Mode::Help;
            return result;
        }
        if (words.size() > 2 || !CommandParser::find(words[1]))
            return refuse(
                QStringLiteral("help: no command is called \"%1\"").arg(words.mid(1).join(u' ')));
        run.mode = Invocation::Mode::CommandHelp;
        run.helpTopic = words[1];
        return result;
    }

    for (const QStringList& words : std::as_const(groups)) {
        const ParsedCommands parsed = parser.parse(words);
        if (!parsed.ok())
            return refuse(parsed.error,
                          CommandParser::find(words.first()) ? words.first() : QString());
        run.commands << parsed.commands;
    }
    return result;
}

} // namespace ctl
