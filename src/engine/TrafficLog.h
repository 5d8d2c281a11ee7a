#pragma once
// Everything that went over the line, in order: each write and each non-empty read as a row with
// its time, direction, bytes and meaning. Plain logic, fed by the session's traffic signal.
//
// Folds: a write that is exactly one whole message joins the entry before it when that entry is
// a run of writes of the same command, in the same direction, begun no more than kFoldGapMs
// after the run's last write. So a picture upload reads as one entry "PutPattern x 2560", while
// messages clicked one by one stay apart. A fold holds at most kMaxFoldRows rows; a longer run
// (a pasted list of thousands of values) goes on in the next fold, so that no single list of
// rows grows to a large share of the memory bound.
//
// Bound: at most maxRows rows are kept, taking at most about maxBytes of memory; past either the
// oldest go first (from the front of the oldest entry, so a fold shrinks) and droppedRows()
// counts them. The newest row is always kept. The memory is counted from the sizes of what is
// kept, as the heap hands it out: each row's bytes and shown meaning, and each entry with its
// list of rows. A reply shows the meaning of its first bytes only (TrafficRow), so a row costs
// about what came over the line plus a few hundred bytes.
//
// Entries carry serial numbers that never repeat, so that a view can keep track of what it has
// shown while the front of the log moves.

#include "engine/TrafficEntry.h"
#include "protocol/MessageDecoder.h"

#include <deque>

namespace engine {

class TrafficLog {
public:
    static constexpr qsizetype kDefaultMaxRows = 200'000;
    static constexpr qint64 kDefaultMaxBytes = 24 * 1024 * 1024;
    static constexpr qint64 kFoldGapMs = 500;
    static constexpr qsizetype kMaxFoldRows = 4000;

    explicit TrafficLog(qsizetype maxRows = kDefaultMaxRows, qint64 maxBytes = kDefaultMaxBytes);

    void append(qint64 timeMs, Direction direction, const QByteArray& bytes);
    // Forgets every row and the count of dropped rows. The decoder keeps its place, so that the
    // rest of a message begun before reads right.
    void clear();

    qsizetype maxRows() const { return maxRows_; }
    qint64 maxBytes() const { return maxBytes_; }
    // The memory the rows kept take, as counted for the bound.
    qint64 bytesUsed() const { return bytesUsed_; }
    qsizetype rowCount() const { return rowCount_; }
    qint64 droppedRows() const { return droppedRows_; }

    qsizetype entryCount() const { return qsizetype(entries_.size()); }
    const TrafficEntry& entry(qsizetype index) const { return entries_[std::size_t(index)]; }
    // Serial of entry(0); entry(i) has serial firstSerial() + i.
    qint64 firstSerial() const { return firstSerial_; }
    qint64 endSerial() const { return firstSerial_ + qint64(entries_.size()); }
    // The entry with this serial, or nullptr when it was dropped or cleared.
    const TrafficEntry* entryBySerial(qint64 serial) const;

    // Every row kept, oldest first.
    template <typename Visit> void forEachRow(Visit visit) const {
        for (const TrafficEntry& e : entries_)
            for (const TrafficRow& row : e.rows)
                visit(row);
    }

private:
    void dropOldest();

    qsizetype maxRows_;
    qint64 maxBytes_;
    qint64 bytesUsed_ = 0;
    std::deque<TrafficEntry> entries_;
    qint64 firstSerial_ = 0;
    qsizetype rowCount_ = 0;
    qint64 droppedRows_ = 0;
    protocol::MessageDecoder decoder_;
};

} // namespace engine
