#pragma once
// The messages of a session read back from its writes: a message cut across writes (the pixel
// command, a string typed key by key) is one message again; several in one write are parted.
// Shared by the writers of a session as a script (ScriptWriter) and as C source
// (CSessionWriter).

#include "engine/TrafficRow.h"
#include "protocol/CommandTable.h"

#include <QByteArray>
#include <QString>
#include <span>
#include <vector>

namespace engine {

struct SentMessage {
    QByteArray bytes;
    qint64 firstMs = 0; // time of the write holding its first byte
    qint64 lastMs = 0;  // and its last
    const protocol::CommandInfo* info = nullptr; // none for a byte that is no command code
    bool complete = false;

    // The bytes after the code; a string's characters without the carriage return.
    QByteArray parameters() const;
    // "SetPage 0", "DrawLineRect Outline 10 20 30 40", "unknown 0x99", "DrawPixel, unfinished"
    QString describe() const;
    bool is(protocol::CommandCode code) const { return complete && info && info->code == code; }
    bool isPattern() const { return is(protocol::CommandCode::PutPattern); }

    // The messages of the rows to the board, in order; rows from the board are left out.
    static std::vector<SentMessage> of(std::span<const TrafficRow> rows);
};

} // namespace engine
