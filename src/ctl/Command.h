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
    enum class Action {
        Send,     // writes `messages`, one write each
        Identify, // asks the board to identify itself; prints the contrast it reports
        Baud,     // SetBaudRate `rateIndex`, then reopens at that rate (and detects again)
        Picture,  // the paced upload of `screen`
        Listen,   // prints what the board sends, for `listenMs` or until Ctrl+C
    };

    Action action = Action::Send;
    QString name;   // the command word: "text", "line"
    QString origin; // where it was written: empty on the command line, "demo.txt line 3"
    QList<QByteArray> messages;
    int rateIndex = -1;
    std::shared_ptr<const engine::Screen> screen; // bytes as they go on the line
    std::optional<qint64> listenMs;                             // none: until Ctrl+C

    // "demo.txt line 3: text" or "text", to begin a message about this command.
    QString label() const { return origin.isEmpty() ? name : origin + QStringLiteral(": ") + name; }
};

} // namespace ctl
