#pragma once
// Splits the text of a command file into the words of each line, the way a shell would for
// these simple cases: blanks separate words; "double" and 'single' quotes keep blanks (and a
// '#') inside one word; a backslash outside single quotes takes the next character as it is; a
// '#' that starts a word starts a comment to the end of the line. Blank and comment-only lines
// give no command. Lines may end in CR LF. The text must be UTF-8.

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>

namespace ctl {

struct ScriptError {
    int line = 0; // from 1; 0 when every line could be read
    QString error;

    bool ok() const { return line == 0; }
};

class ScriptReader {
public:
    // Takes each line that holds words, one after the other, until `take` returns false; the
    // words of one line at a time are held, never those of the whole text. Stops at the first
    // line that is not UTF-8 or leaves a quote open, and names it.
    using TakeLine = std::function<bool(int number, const QStringList& words)>;
    static ScriptError read(QByteArrayView text, const TakeLine& take);
    // The words of one line; `error` is set (and the words are not usable) when a quote is left
    // open.
    static QStringList words(QStringView line, QString* error);
};

} // namespace ctl
