#pragma once
// The words after one command's name, taken apart by its parser: flags (--clear), options with
// a value (--font 2, --font=2) and the positional arguments left over. Each check records the
// first thing that is wrong, worded for the user, and the parser stops there.

#include <QString>
#include <QStringList>
#include <optional>

namespace ctl {

class Arguments {
public:
    // `usage` ("line X1 Y1 X2 Y2 [--clear]") is quoted when the count of words is wrong.
    Arguments(QStringList words, QString usage)
        : words_(std::move(words)), usage_(std::move(usage)) {}

    // True when --name is among the words (it is taken out).
    bool flag(const QString& name);
    // The value of --name VALUE or --name=VALUE (taken out); none when absent or malformed.
    std::optional<QString> option(const QString& name);
    // The positional words, after every flag and option was taken: fails on an option this
    // command does not know and on fewer than `min` or more than `max` words.
    // `max` -1: no limit.
    std::optional<QStringList> positionals(int min, int max);

    // A whole decimal number min..max (leading zeros allowed; no blanks; a minus sign only when
    // min is negative, no plus sign). `hint` is
    // added to the message when the number is refused.
    std::optional<int> number(const QString& text, const QString& what, int min, int max,
                              const QString& hint = {});
    // One of `choices`; `what` names the argument in the message.
    std::optional<int> choice(const QString& text, const QString& what, const QStringList& choices);

    bool failed() const { return !error_.isEmpty(); }
    QString error() const { return error_; }
    void fail(const QString& error);

private:
    QStringList words_;
    QString usage_;
    QString error_;
};

} // namespace ctl
