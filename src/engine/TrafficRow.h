#pragma once
// One write to the port or one chunk read from it, as the traffic monitor records it.

#include "engine/SessionTypes.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace engine {

struct TrafficRow {
    qint64 timeMs = 0; // when it happened, milliseconds since the epoch (UTC)
    Direction direction = Direction::ToBoard;
    QByteArray bytes;
    // What the row shows. For bytes to the board the decoded command ("SetPage 0"); for bytes
    // from the board the text as the response boxes show it, in quotes, of its first bytes only
    // (protocol::shownReplyMeaning(); fullMeaning() in TrafficFormat.h has all of it).
    QString meaning;
};

} // namespace engine
