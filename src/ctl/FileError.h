#pragma once
// How vantrelctl words a file it cannot use, in the style of the command-line tools: "cannot
// read NAME: CAUSE", lower case, no full stop. The picture layer words its reasons for the
// window's message box ("it cannot be read (No such file or directory)."); they are reworded
// here, not there.

#include <QString>

namespace ctl {

class FileError {
public:
    // "cannot read NAME: cause", the cause's first letter lowered (a system error's text).
    static QString cannotRead(const QString& shown, const QString& cause);
    // "cannot write NAME: cause", as cannotRead().
    static QString cannotWrite(const QString& shown, const QString& cause);
    // "cannot read NAME: it holds more than N MB, the most WHAT may hold".
    static QString tooLarge(const QString& shown, qint64 maxBytes, const QString& what);
    // A reason of the picture layer, as read after "The file NAME cannot be used: ".
    static QString fromPicture(const QString& shown, const QString& reason);
    // The name a file argument shows in messages: "-" is standard input.
    static QString shown(const QString& path);
};

} // namespace ctl
