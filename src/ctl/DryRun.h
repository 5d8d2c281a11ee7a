#pragma once
// What --dry-run prints: every message the run would write to the board, in hex, one message per
// line, in order; the detection's Identify included (at the start, after a baud change and for
// `identify`). With `decoded` each line also names the message ("1F 02 0A 14 64 3C  DrawLineRect
// Filled 10 20 100 60").

#include "ctl/Invocation.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace ctl {

class DryRun {
public:
    // The messages, in the order the run writes them.
    static QList<QByteArray> messages(const Invocation& invocation);
    static QStringList lines(const Invocation& invocation, bool decoded);
};

} // namespace ctl
