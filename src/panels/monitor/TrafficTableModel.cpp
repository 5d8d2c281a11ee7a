#include "panels/monitor/TrafficTableModel.h"

#include "engine/TrafficFormat.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

using engine::Direction;
using engine::TrafficEntry;
using engine::TrafficRow;

namespace {

const QString kClosedFold = QStringLiteral("▸ ");
const QString kOpenedFold = QStringLiteral("▾ ");
const QString kInFold = QStringLiteral("    ");

} // namespace

TrafficTableModel::TrafficTableModel(const engine::TrafficLog& log, QObject* parent)
    : QAbstractTableModel(parent), log_(log), seenEnd_(log.firstSerial()) {}

bool TrafficTableModel::passes(Direction direction) const {
    switch (filter_) {
    case Filter::Both:
        return true;
    case Filter::ToBoard:
        return direction == Direction::ToBoard;
    case Filter::FromBoard:
        return direction == Direction::FromBoard;
    }
    return true;
}

// --- keeping up with the log -------------------------------------------------------------------

void TrafficTableModel::sync(bool frozen) {
    removeDropped();
    if (frozen)
        return;
    showGrowth();
    showNewEntries();
}

void TrafficTableModel::reset() {
    beginResetModel();
    entries_.clear();
    opened_.clear();
    openedButFiltered_.clear();
    seenEnd_ = log_.endSerial();
    endResetModel();
}

void TrafficTableModel::removeDropped() {
    const qint64 firstKept = log_.firstSerial();
    // Whole entries gone from the front.
    qsizetype gone = 0;
    int goneRows = 0;
    while (gone < qsizetype(entries_.size()) && entries_[std::size_t(gone)] < firstKept) {
        const auto opened = opened_.find(entries_[std::size_t(gone)]);
        goneRows += 1 + (opened != opened_.end() ? int(opened->second.shownRows) : 0);
        ++gone;
    }
    if (gone > 0) {
        beginRemoveRows({}, 0, goneRows - 1);
        for (qsizetype i = 0; i < gone; ++i) {
            opened_.erase(entries_.front());
            entries_.pop_front();
        }
        endRemoveRows();
    }
    seenEnd_ = std::max(seenEnd_, firstKept);
    // The oldest entry left may have lost rows from its front.
    if (entries_.empty() || entries_.front() != firstKept)
        return;
    const TrafficEntry& entry = log_.entry(0);
    const auto opened = opened_.find(firstKept);
    if (opened != opened_.end()) {
        Opened& o = opened->second;
        const qsizetype lost =
            std::min<qsizetype>(entry.droppedFront - o.shownDroppedFront, o.shownRows);
        if (lost > 0) {
            beginRemoveRows({}, 1, int(lost));
            o.shownRows -= lost;
            o.shownDroppedFront = entry.droppedFront;
            endRemoveRows();
        }
    }
    if (entry.droppedFront > 0)
        refreshEntryRow(firstKept);
}

void TrafficTableModel::showGrowth() {
    // Only the log's newest entry grows; it is the last one seen, if shown.
    const qint64 last = seenEnd_ - 1;
    const TrafficEntry* entry = log_.entryBySerial(last);
    if (!entry || entries_.empty() || entries_.back() != last)
        return;
    const auto opened = opened_.find(last);
    if (opened != opened_.end()) {
        Opened& o = opened->second;
        const qint64 added = entry->appended() - (o.shownDroppedFront + o.shownRows);
        if (added > 0) {
            const int first = rowOfSerial(last) + 1 + int(o.shownRows);
            beginInsertRows({}, first, first + int(added) - 1);
            o.shownRows += added;
            endInsertRows();
        }
    }
    refreshEntryRow(last);
}

void TrafficTableModel::showNewEntries() {
    std::vector<qint64> added;
    for (qint64 serial = seenEnd_; serial < log_.endSerial(); ++serial)
        if (passes(log_.entryBySerial(serial)->direction()))
            added.push_back(serial);
    seenEnd_ = log_.endSerial();
    if (added.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(added.size()) - 1);
    entries_.insert(entries_.end(), added.begin(), added.end());
    endInsertRows();
}

void TrafficTableModel::refreshEntryRow(qint64 serial) {
    const int row = rowOfSerial(serial);
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void TrafficTableModel::setFilter(Filter filter) {
    if (filter == filter_)
        return;
    beginResetModel();
    filter_ = filter;
    entries_.clear();
    for (const auto& [serial, opened] : opened_)
        openedButFiltered_.insert(serial);
    opened_.clear();
    for (qint64 serial = log_.firstSerial(); serial < seenEnd_; ++serial) {
        const TrafficEntry* entry = log_.entryBySerial(serial);
        if (!passes(entry->direction()))
            continue;
        entries_.push_back(serial);
        if (openedButFiltered_.erase(serial))
            opened_[serial] = {qsizetype(entry->rows.size()), entry->droppedFront};
    }
    // Folds dropped meanwhile are forgotten.
    openedButFiltered_.erase(openedButFiltered_.begin(),
                             openedButFiltered_.lower_bound(log_.firstSerial()));
    endResetModel();
}

// --- folds ---------------------------------------------------------------------------------------

bool TrafficTableModel::isFold(int row) const {
    const Item item = itemAt(row);
    const TrafficEntry* entry = log_.entryBySerial(item.serial);
    return item.child < 0 && entry && entry->folded;
}

bool TrafficTableModel::isExpanded(int row) const {
    const Item item = itemAt(row);
    return item.child < 0 && opened_.count(item.serial) > 0;
}

void TrafficTableModel::setExpanded(int row, bool expanded) {
    if (!isFold(row) || isExpanded(row) == expanded)
        return;
    const Item item = itemAt(row);
    if (expanded) {
        const TrafficEntry* entry = log_.entryBySerial(item.serial);
        const auto rows = qsizetype(entry->rows.size());
        beginInsertRows({}, row + 1, row + int(rows));
        opened_[item.serial] = {rows, entry->droppedFront};
        endInsertRows();
    } else {
        const qsizetype rows = opened_[item.serial].shownRows;
        if (rows > 0)
            beginRemoveRows({}, row + 1, row + int(rows));
        opened_.erase(item.serial);
        if (rows > 0)
            endRemoveRows();
    }
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int TrafficTableModel::entryRowOf(int row) const {
    const Item item = itemAt(row);
    return item.child < 0 ? row : rowOfSerial(item.serial);
}

QList<const TrafficRow*> TrafficTableModel::logRowsAt(int row) const {
    QList<const TrafficRow*> rows;
    if (row < 0 || row >= rowCount())
        return rows;
    const Item item = itemAt(row);
    const TrafficEntry* entry = log_.entryBySerial(item.serial);
    if (!entry)
        return rows;
    if (item.child < 0) {
        for (const TrafficRow& r : entry->rows)
            rows << &r;
    } else if (const TrafficRow* r = logRow(item)) {
        rows << r;
    }
    return rows;
}

// --- rows to items -------------------------------------------------------------------------------

qsizetype TrafficTableModel::positionOf(qint64 serial) const {
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), serial);
    return at != entries_.end() && *at == serial ? qsizetype(at - entries_.begin()) : -1;
}

TrafficTableModel::Item TrafficTableModel::itemAt(int row) const {
    qsizetype rowsBefore = 0; // rows of opened folds above
    for (const auto& [serial, opened] : opened_) {
        const qsizetype entryRow = positionOf(serial) + rowsBefore;
        if (row <= entryRow)
            break;
        if (row <= entryRow + opened.shownRows)
            return {serial, row - entryRow - 1};
        rowsBefore += opened.shownRows;
    }
    const qsizetype position = row - rowsBefore;
    if (position < 0 || position >= qsizetype(entries_.size()))
        return {};
    return {entries_[std::size_t(position)], -1};
}

int TrafficTableModel::rowOfSerial(qint64 serial) const {
    const qsizetype position = positionOf(serial);
    if (position < 0)
        return -1;
    qsizetype rowsBefore = 0;
    for (const auto& [openedSerial, opened] : opened_) {
        if (openedSerial >= serial)
            break;
        rowsBefore += opened.shownRows;
    }
    return int(position + rowsBefore);
}

const TrafficRow* TrafficTableModel::logRow(const Item& item) const {
    const TrafficEntry* entry = log_.entryBySerial(item.serial);
    if (!entry)
        return nullptr;
    if (item.child < 0)
        return entry->folded ? nullptr : &entry->rows.front();
    const auto opened = opened_.find(item.serial);
    if (opened == opened_.end())
        return nullptr;
    const qint64 at = item.child + opened->second.shownDroppedFront - entry->droppedFront;
    return at >= 0 && at < qint64(entry->rows.size()) ? &entry->rows[std::size_t(at)] : nullptr;
}

// --- the table
// -------------------------------------------------------------------------------------

int TrafficTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    qsizetype rows = qsizetype(entries_.size());
    for (const auto& [serial, opened] : opened_)
        rows += opened.shownRows;
    return int(rows);
}

int TrafficTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrafficTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const Item item = itemAt(index.row());
    const TrafficEntry* entry = log_.entryBySerial(item.serial);
    if (!entry)
        return {};
    const bool fold = item.child < 0 && entry->folded;
    const TrafficRow* row = logRow(item);
    if (!fold && !row)
        return {};
    const int column = index.column();

    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (column) {
        case TimeColumn: {
            const QString time = engine::timeOfDay(fold ? entry->first().timeMs : row->timeMs);
            if (role == Qt::ToolTipRole)
                return time;
            if (fold)
                return (opened_.count(item.serial) ? kOpenedFold : kClosedFold) + time;
            return item.child >= 0 ? kInFold + time : time;
        }
        case DirectionColumn:
            return engine::directionText(entry->direction());
        case BytesColumn:
            return fold ? engine::foldBytes(*entry) : engine::shownHexText(row->bytes);
        case MeaningColumn:
            return fold ? engine::foldMeaning(*entry) : row->meaning;
        }
    } else if (role == Qt::AccessibleTextRole && column == TimeColumn) {
        const QString time = engine::timeOfDay(fold ? entry->first().timeMs : row->timeMs);
        if (fold)
            return time + (opened_.count(item.serial) ? QStringLiteral(", opened fold")
                                                      : QStringLiteral(", closed fold"));
        return item.child >= 0 ? time + QStringLiteral(", in fold") : time;
    } else if (role == Qt::FontRole && column == BytesColumn && !fold) {
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    } else if (role == Qt::ForegroundRole && entry->direction() == Direction::FromBoard) {
        // Replies stand out from the many rows sent.
        return QGuiApplication::palette().brush(QPalette::Link);
    }
    return {};
}

QVariant TrafficTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TimeColumn:
        return QStringLiteral("Time");
    case DirectionColumn:
        return QStringLiteral("Direction");
    case BytesColumn:
        return QStringLiteral("Bytes");
    case MeaningColumn:
        return QStringLiteral("Meaning");
    }
    return {};
}
