#pragma once
// Splits the text of a command file into the words of each line, the way a shell would for
// these simple cases: blanks separate words; "double" and 'single' quotes keep blanks (and a
// '#') inside one word; a backslash outside single quotes takes the next character as it is; a
// '#' that starts a word starts a comment to the end of the line. Blank and comment-only lines
// give no command. Lines may end in CR LF.

#include <QList>
#include <QString>
#include <QStringList>

namespace ctl {

struct ScriptLine {
    int number = 0; // from 1
    QStringList words;
};

struct ScriptText {
    QList<ScriptLine> lines; // only lines that hold words
    int errorLine = 0;       // 0 when the text could be read
    QString error;

    bool ok() const { return errorLine == 0; }
};

class ScriptReader {
public:
    static ScriptText split(const QString& text);
    // The words of one line; `error` is set (and the words are not usable) when a quote is left
    // open.
    static QStringList words(QStringView line, QString* error);
};

} // namespace ctl
