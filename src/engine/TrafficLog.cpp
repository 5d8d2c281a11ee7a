#include "engine/TrafficLog.h"

#include "protocol/CommandTable.h"
#include "protocol/ReplyText.h"

namespace engine {

namespace {

// The command code when `bytes` is exactly one whole message with parameters, which is what
// may join a fold; -1 otherwise.
int wholeMessageCommand(const QByteArray& bytes, bool decoderMidMessage) {
    if (decoderMidMessage || bytes.isEmpty())
        return -1;
    const protocol::CommandInfo* info = protocol::commandInfo(std::uint8_t(bytes[0]));
    if (!info || info->isText() || info->parameterCount == 0 ||
        bytes.size() != 1 + info->parameterCount)
        return -1;
    return info->byte();
}

} // namespace

TrafficLog::TrafficLog(qsizetype maxRows) : maxRows_(std::max<qsizetype>(1, maxRows)) {}

void TrafficLog::append(qint64 timeMs, Direction direction, const QByteArray& bytes) {
    TrafficRow row{timeMs, direction, bytes, {}};
    int command = -1;
    if (direction == Direction::ToBoard) {
        command = wholeMessageCommand(bytes, decoder_.midMessage());
        row.meaning = decoder_.feed(bytes);
    } else {
        row.meaning = protocol::replyMeaning(bytes);
    }

    TrafficEntry* last = entries_.empty() ? nullptr : &entries_.back();
    const bool joins = last && command >= 0 && last->foldCommand == command &&
                       last->direction() == direction &&
                       timeMs - last->last().timeMs <= kFoldGapMs && timeMs >= last->last().timeMs;
    if (joins) {
        last->rows.push_back(std::move(row));
        last->folded = true;
    } else {
        TrafficEntry entry;
        entry.foldCommand = command;
        entry.rows.push_back(std::move(row));
        entries_.push_back(std::move(entry));
    }
    ++rowCount_;
    while (rowCount_ > maxRows_)
        dropOldest();
}

void TrafficLog::dropOldest() {
    TrafficEntry& oldest = entries_.front();
    oldest.rows.pop_front();
    ++oldest.droppedFront;
    --rowCount_;
    ++droppedRows_;
    if (oldest.rows.empty()) {
        entries_.pop_front();
        ++firstSerial_;
    }
}

void TrafficLog::clear() {
    firstSerial_ = endSerial();
    entries_.clear();
    rowCount_ = 0;
    droppedRows_ = 0;
}

const TrafficEntry* TrafficLog::entryBySerial(qint64 serial) const {
    if (serial < firstSerial_ || serial >= endSerial())
        return nullptr;
    return &entries_[std::size_t(serial - firstSerial_)];
}

} // namespace engine
