#include "ctl/CommandLine.h"

#include "ctl/Arguments.h"
#include "ctl/ScreenCommands.h"
#include "protocol/BaudRates.h"
#include "serial/PortMap.h"

#include <QRegularExpression>

namespace ctl {

namespace {

const QString kSeparator = QStringLiteral("--");

// A short option as getopt takes it: flags may be grouped (-nv), a value follows its letter
// directly (-b115200) or as the next word (-b 115200). Long names are spelt as in --help.
QString longName(QChar letter) {
    switch (letter.unicode()) {
    case u'p':
        return QStringLiteral("--port");
    case u'b':
        return QStringLiteral("--baud");
    case u'n':
        return QStringLiteral("--dry-run");
    case u'v':
        return QStringLiteral("--verbose");
    case u'V':
        return QStringLiteral("--version");
    case u'h':
        return QStringLiteral("--help");
    default:
        return {};
    }
}

bool takesValue(const QString& name) {
    return name == QStringLiteral("--port") || name == QStringLiteral("--baud") ||
           name == QStringLiteral("--rate") || name == QStringLiteral("--format") ||
           name == QStringLiteral("--mirror");
}

// The options before the first command in long form, one word each ("--port=VALUE"), so that
// the rest of the parser sees one spelling. Stops at the first word that is no option.
std::optional<QStringList> spelledLong(const QStringList& arguments, qsizetype& i, QString& error) {
    QStringList options;
    for (; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == kSeparator || !word.startsWith(u'-') || word == QStringLiteral("-"))
            break;
        if (word.startsWith(QStringLiteral("--"))) {
            const QString name = word.section(u'=', 0, 0);
            if (takesValue(name) && !word.contains(u'=')) {
                if (i + 1 >= arguments.size()) {
                    error = QStringLiteral("%1 needs a value").arg(name);
                    return std::nullopt;
                }
                options << name + u'=' + arguments[++i];
            } else {
                options << word;
            }
            continue;
        }
        for (qsizetype at = 1; at < word.size(); ++at) {
            const QString name = longName(word[at]);
            if (name.isEmpty()) {
                error = QStringLiteral("unknown option -%1").arg(word[at]);
                return std::nullopt;
            }
            if (!takesValue(name)) {
                options << name;
                continue;
            }
            if (at + 1 < word.size()) {
                options << name + u'=' + word.mid(at + 1);
            } else if (i + 1 < arguments.size()) {
                options << name + u'=' + arguments[++i];
            } else {
                error = QStringLiteral("-%1 needs a value").arg(word[at]);
                return std::nullopt;
            }
            break;
        }
    }
    return options;
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
    QString error;
    const std::optional<QStringList> options = spelledLong(arguments, i, error);
    if (!options)
        return refuse(error);
    for (const QString& word : *options) {
        const QString name = word.section(u'=', 0, 0);
        const QString value = word.section(u'=', 1);
        if (name == QStringLiteral("--help")) {
            run.mode = Invocation::Mode::Help;
            return result;
        }
        if (name == QStringLiteral("--version")) {
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
        } else if (name == QStringLiteral("--format")) {
            if (value != QStringLiteral("hex") && value != QStringLiteral("c"))
                return refuse(QStringLiteral("--format must be hex or c, not \"%1\"").arg(value));
            run.dryRunAsC = value == QStringLiteral("c");
            formatGiven = true;
        } else if (name == QStringLiteral("--mirror")) {
            mirrorWords = {QStringLiteral("--output"), value};
        } else if (name == QStringLiteral("--port")) {
            static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
            if (digits.match(value).hasMatch()) {
                const int n = value.size() <= 3 ? value.toInt() : 0;
                if (n < PortMap::kFirstPort || n > PortMap::kLastPort)
                    return refuse(QStringLiteral("--port takes a port number from %1 to %2 or a "
                                                 "device path, not \"%3\"")
                                      .arg(PortMap::kFirstPort)
                                      .arg(PortMap::kLastPort)
                                      .arg(value));
                run.ports << Invocation::Port{n, {}};
            } else if (value.trimmed().isEmpty()) {
                return refuse(QStringLiteral("--port needs a port number or a device path"));
            } else {
                // A bare name such as ttyUSB0 is a device in /dev.
                run.ports << Invocation::Port{
                    1, value.contains(u'/') ? value : QStringLiteral("/dev/") + value};
            }
        } else if (name == QStringLiteral("--rate") || name == QStringLiteral("--baud")) {
            if (rateGiven)
                return refuse(QStringLiteral("the rate is given twice"));
            rateGiven = true;
            const auto index = protocol::indexOfRateText(value);
            if (!index || value != value.trimmed())
                return refuse(
                    QStringLiteral("%1 must be one of %2, not \"%3\"")
                        .arg(name, protocol::rateTexts().join(QStringLiteral(", ")), value));
            run.rateIndex = *index;
        } else {
            return refuse(QStringLiteral("unknown option %1").arg(name));
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
            const QString error = ScreenCommands::parseConvert(groups.first(), parser, run);
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
