#pragma once
// The writes of a session as C source for a firmware that drives the board itself: every byte
// sent, in order, as one array, each message on its own line after a comment that names it
// ("/* SetPage 0 */ 0x06, 0x00,"). The pauses the session keeps between messages are comments
// where they fall: 20 ms after an upload's touch-off, 1 ms after its page and column, 300 ms
// after a baud-rate change (the board then listens at the new rate), and any gap of
// ScriptWriter::kGapCommentMs or more between two writes. The array is `static const` behind
// an include guard, so that the file may be a header included by several files.

#include "engine/TrafficRow.h"

#include <QByteArray>
#include <QString>
#include <span>

namespace engine {

class CSessionWriter {
public:
    // `name`: the array's name, already a C identifier. `origin`: where the session came from,
    // for the first comment ("the traffic monitor of Vantrel", "vantrelctl --dry-run").
    static QByteArray write(std::span<const TrafficRow> rows, const QString& name,
                            const QString& origin);
};

} // namespace engine
