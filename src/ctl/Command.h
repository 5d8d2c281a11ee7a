#pragma once
// One step of a vantrelctl run, checked and built before anything is sent: the messages it
// writes, or the exchange it runs with the board.

#include "engine/SessionTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace ctl {

struct Command {
    enum class Action : quint8 {
        Send,     // writes `messages`, one write each
        Identify, // asks the board to identify itself; prints the contrast it reports
        Baud,     // SetBaudRate `rateIndex`, then reopens at that rate (and detects again)
        Picture,  // the paced upload of `screen`
        Listen,   // prints what the board sends, for `listenMs` or until Ctrl+C
    };

    Action action = Action::Send;
    QString name;   // the command word: "text", "line"
    QString script; // the script it was written in ("demo.txt"); empty on the command line
    int line = 0;   // its line in `script`, from 1
    QList<QByteArray> messages;
    int rateIndex = -1;
    std::shared_ptr<const engine::Screen> screen; // bytes as they go on the line
    std::optional<qint64> listenMs;                             // none: until Ctrl+C

    // "demo.txt line 3", or empty on the command line.
    QString origin() const {
        return script.isEmpty() ? QString() : QStringLiteral("%1 line %2").arg(script).arg(line);
    }
    // "demo.txt line 3: text" or "text", to begin a message about this command.
    QString label() const {
        return script.isEmpty() ? name : origin() + QStringLiteral(": ") + name;
    }
};

} // namespace ctl
