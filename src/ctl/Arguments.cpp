#include "ctl/Arguments.h"

#include <algorithm>
#include <climits>

namespace ctl {

namespace {

bool isOption(const QString& word) {
    return word.startsWith(QStringLiteral("--")) && word.size() > 2;
}

// The options that belong before the command, for a helpful word when one comes after it.
bool isGlobalOption(const QString& word) {
    const QString name = word.section(u'=', 0, 0);
    for (const char* global :
         {"--port", "--rate", "--baud", "--no-detect", "--dry-run", "--verbose", "--mirror"})
        if (name == QLatin1String(global))
            return true;
    return false;
}

} // namespace

void Arguments::fail(const QString& error) {
    if (error_.isEmpty())
        error_ = error;
}

bool Arguments::flag(const QString& name) {
    const qsizetype at = words_.indexOf(name);
    if (at < 0)
        return false;
    words_.removeAt(at);
    if (words_.contains(name))
        fail(QStringLiteral("%1 is given twice").arg(name));
    return true;
}

std::optional<QString> Arguments::option(const QString& name) {
    std::optional<QString> value;
    for (qsizetype i = 0; i < words_.size();) {
        const QString& word = words_[i];
        std::optional<QString> found;
        if (word == name) {
            if (i + 1 >= words_.size()) {
                fail(QStringLiteral("%1 needs a value").arg(name));
                words_.removeAt(i);
                return std::nullopt;
            }
            found = words_[i + 1];
            words_.remove(i, 2);
        } else if (word.startsWith(name + u'=')) {
            found = word.mid(name.size() + 1);
            words_.removeAt(i);
        } else {
            ++i;
            continue;
        }
        if (value) {
            fail(QStringLiteral("%1 is given twice").arg(name));
            return std::nullopt;
        }
        value = found;
    }
    return value;
}

std::optional<QStringList> Arguments::positionals(int min, int max) {
    const QString& usage = usage_;
    if (failed())
        return std::nullopt;
    for (const QString& word : std::as_const(words_)) {
        if (!isOption(word))
            continue;
        if (isGlobalOption(word))
            fail(QStringLiteral("%1 belongs before the first command").arg(word));
        else
            fail(QStringLiteral("unknown option %1").arg(word));
        return std::nullopt;
    }
    if (words_.size() < min) {
        fail(words_.isEmpty()
                 ? QStringLiteral("%1 is missing (usage: %2)").arg(usage.section(u' ', 1, 1), usage)
                 : QStringLiteral("too few arguments (usage: %1)").arg(usage));
        return std::nullopt;
    }
    if (max >= 0 && words_.size() > max) {
        fail(QStringLiteral("too many arguments: \"%1\" (usage: %2)")
                 .arg(words_.mid(max).join(u' '), usage));
        return std::nullopt;
    }
    return words_;
}

std::optional<int> Arguments::number(const QString& text, const QString& what, int min, int max,
                                     const QString& hint) {
    // A minus sign only where negative numbers are allowed.
    const bool negative = min < 0 && text.startsWith(u'-');
    const QStringView digits = QStringView(text).mid(negative ? 1 : 0);
    bool digitsOnly = !digits.isEmpty();
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9') {
            digitsOnly = false;
            break;
        }
        value = std::min<qint64>(value * 10 + (c.unicode() - u'0'), qint64(INT_MAX) + 1);
    }
    if (negative)
        value = -value;
    if (digitsOnly && value >= min && value <= max)
        return int(value);
    fail(QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"")
             .arg(what)
             .arg(min)
             .arg(max)
             .arg(text) +
         (hint.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(hint)));
    return std::nullopt;
}

std::optional<int> Arguments::choice(const QString& text, const QString& what,
                                     const QStringList& choices) {
    const qsizetype at = choices.indexOf(text);
    if (at >= 0)
        return int(at);
    QStringList quoted = choices;
    const QString last = quoted.takeLast();
    fail(QStringLiteral("%1 must be %2 or %3, not \"%4\"")
             .arg(what, quoted.join(QStringLiteral(", ")), last, text));
    return std::nullopt;
}

} // namespace ctl
