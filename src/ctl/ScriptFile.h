#pragma once
// The bytes of a command file, read whole before any of its lines is checked. A named file must
// be a regular file: a named pipe or a terminal would hold the run up (and a terminal that is the
// board's own port would lose the board's replies to the script). Standard input ("-") is the
// way to read a pipe; that it cannot be read at all (a folder, a closed descriptor) is an error,
// not an empty script. Either way at most kMaxBytes are taken: no one writes a larger command
// file, and everything read is held until the run ends.

#include <QByteArray>
#include <QString>

namespace ctl {

struct ScriptBytes {
    QByteArray bytes;
    QString error; // a sentence naming the file and the cause; empty when all is well
    bool tooLarge = false;

    bool ok() const { return error.isEmpty(); }
};

class ScriptFile {
public:
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;

    static ScriptBytes read(const QString& path);
    // Reads `fd` to its end, at most `maxBytes`; `shown` names it in messages ("standard
    // input"). More than `maxBytes` fails with `tooLarge` set, for the caller to word.
    static ScriptBytes readDescriptor(int fd, const QString& shown, qint64 maxBytes);
};

} // namespace ctl
