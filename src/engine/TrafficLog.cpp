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

// The memory a heap block of `payload` bytes takes: Qt's 16-byte header, the allocator's 8,
// rounded up to its 16-byte steps; nothing for no block.
qint64 heapBlock(qint64 payload) {
    return payload <= 0 ? 0 : (payload + 16 + 8 + 15) / 16 * 16;
}

// A row's own blocks; its place in its entry's list is counted with the list.
qint64 rowCost(const TrafficRow& row) {
    const qint64 bytes = row.bytes.isEmpty() ? 0 : row.bytes.capacity() + 1;
    const qint64 meaning = row.meaning.isEmpty() ? 0 : 2 * (row.meaning.capacity() + 1);
    return heapBlock(bytes) + heapBlock(meaning);
}

qint64 listCost(const QList<TrafficRow>& rows) {
    return heapBlock(rows.capacity() * qint64(sizeof(TrafficRow)));
}

} // namespace

TrafficLog::TrafficLog(qsizetype maxRows, qint64 maxBytes)
    : maxRows_(std::max<qsizetype>(1, maxRows)), maxBytes_(maxBytes) {}

void TrafficLog::append(qint64 timeMs, Direction direction, const QByteArray& bytes) {
    // A copy of its own size: the bytes read may sit in a larger buffer.
    TrafficRow row{timeMs, direction, QByteArray(bytes.constData(), bytes.size()), {}};
    int command = -1;
    if (direction == Direction::ToBoard) {
        command = wholeMessageCommand(bytes, decoder_.midMessage());
        row.meaning = decoder_.feed(bytes);
    } else {
        row.meaning = protocol::shownReplyMeaning(bytes);
    }
    row.meaning.squeeze();
    bytesUsed_ += rowCost(row);

    TrafficEntry* last = entries_.empty() ? nullptr : &entries_.back();
    const bool joins = last && command >= 0 && last->foldCommand == command &&
                       last->appended() < kMaxFoldRows && last->direction() == direction &&
                       timeMs - last->last().timeMs <= kFoldGapMs && timeMs >= last->last().timeMs;
    if (joins) {
        const qint64 before = listCost(last->rows);
        last->rows.push_back(std::move(row));
        bytesUsed_ += listCost(last->rows) - before;
        last->folded = true;
    } else {
        TrafficEntry entry;
        entry.foldCommand = command;
        entry.rows.push_back(std::move(row));
        bytesUsed_ += qint64(sizeof(TrafficEntry)) + listCost(entry.rows);
        entries_.push_back(std::move(entry));
    }
    ++rowCount_;
    while (rowCount_ > 1 && (rowCount_ > maxRows_ || bytesUsed_ > maxBytes_))
        dropOldest();
}

void TrafficLog::dropOldest() {
    TrafficEntry& oldest = entries_.front();
    bytesUsed_ -= rowCost(oldest.rows.front());
    oldest.rows.pop_front(); // keeps the list's block: counted until the entry goes
    ++oldest.droppedFront;
    --rowCount_;
    ++droppedRows_;
    if (oldest.rows.empty()) {
        bytesUsed_ -= qint64(sizeof(TrafficEntry)) + listCost(oldest.rows);
        entries_.pop_front();
        ++firstSerial_;
    }
}

void TrafficLog::clear() {
    firstSerial_ = endSerial();
    entries_.clear();
    rowCount_ = 0;
    droppedRows_ = 0;
    bytesUsed_ = 0;
}

const TrafficEntry* TrafficLog::entryBySerial(qint64 serial) const {
    if (serial < firstSerial_ || serial >= endSerial())
        return nullptr;
    return &entries_[std::size_t(serial - firstSerial_)];
}

} // namespace engine
