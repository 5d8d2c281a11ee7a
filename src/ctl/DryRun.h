#pragma once
// What --dry-run prints: every message the run would write to the board, in hex, one message per
// line, in order; the detection's Identify included (at the start, after a baud change and for
// `identify`). With `decoded` each line also names the message ("1F 02 0A 14 64 3C  DrawLineRect
// Filled 10 20 100 60"). Lines are made one at a time, so that a long script's are never all
// held at once.

#include "ctl/Invocation.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <functional>

namespace ctl {

class DryRun {
public:
    // Each takes the next message or line, in the order the run writes them, and returns false
    // to stop.
    using TakeMessage = std::function<bool(const QByteArray& message)>;
    using TakeLine = std::function<bool(const QString& line)>;

    static void forEachMessage(const Invocation& invocation, const TakeMessage& take);
    static void forEachLine(const Invocation& invocation, bool decoded, const TakeLine& take);
    static QList<QByteArray> messages(const Invocation& invocation);
    static QStringList lines(const Invocation& invocation, bool decoded);
};

} // namespace ctl
