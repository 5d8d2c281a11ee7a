#pragma once
// One line of the traffic log: a single row, or a fold of a run of writes of the same command
// (the 2,560 PutPattern of a picture upload), kept together so that the run reads as one line
// with its count and duration and can be opened to show every write.

#include "engine/TrafficRow.h"

#include <QList>
#include <cstdint>

namespace engine {

struct TrafficEntry {
    // A list, not a deque: most entries hold one row, and a deque takes half a kilobyte for it.
    QList<TrafficRow> rows;
    // Set once a second row has joined: the entry shows as a fold from then on, also when the
    // bound has dropped its older rows.
    bool folded = false;
    // The command code every row of a fold is one whole message of; -1 when no row can join.
    int foldCommand = -1;
    // Rows of this entry dropped from its front by the bound.
    qint64 droppedFront = 0;

    const TrafficRow& first() const { return rows.front(); }
    const TrafficRow& last() const { return rows.back(); }
    Direction direction() const { return rows.front().direction; }
    qint64 durationMs() const { return rows.back().timeMs - rows.front().timeMs; }
    // Rows ever appended to this entry, dropped ones included.
    qint64 appended() const { return droppedFront + qint64(rows.size()); }
};

} // namespace engine
