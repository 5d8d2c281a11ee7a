#pragma once
// The traffic log as table rows for the monitor: one row per log entry, a fold's rows below it
// while it is opened, rows of one direction only when filtered.
//
// The model shows the log as it was at the last sync(), not as it is: the monitor syncs on a
// timer, so that a picture upload's 2,560 writes reach the view in a few batches instead of one
// by one, and not at all while paused. Rows the log has dropped since (the bound, Clear) read
// empty until the next sync removes them.

#include "engine/TrafficLog.h"

#include <QAbstractTableModel>
#include <deque>
#include <map>
#include <set>

class TrafficTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, DirectionColumn, BytesColumn, MeaningColumn, ColumnCount };
    enum class Filter { Both, ToBoard, FromBoard };

    explicit TrafficTableModel(const engine::TrafficLog& log, QObject* parent = nullptr);

    // Removes what the log has dropped and, unless `frozen`, shows what it has gained.
    void sync(bool frozen);
    // The log was cleared: shows nothing until it gains rows again.
    void reset();

    Filter filter() const { return filter_; }
    void setFilter(Filter filter);
    bool passes(engine::Direction direction) const;

    // The row of a fold itself, opened or not.
    bool isFold(int row) const;
    bool isExpanded(int row) const;
    void setExpanded(int row, bool expanded);
    // The row of the fold that `row` lies in, `row` itself for a row of its own.
    int entryRowOf(int row) const;
    // The log rows a table row stands for: every row of a fold, else its one row.
    QList<const engine::TrafficRow*> logRowsAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // A table row: the entry with this serial, and -1 for its own row or the index of a row in
    // its opened fold.
    struct Item {
        qint64 serial = -1;
        qsizetype child = -1;
    };
    struct Opened {
        qsizetype shownRows = 0;
        qint64 shownDroppedFront = 0; // the entry's droppedFront when its rows were last shown
    };

    Item itemAt(int row) const;
    int rowOfSerial(qint64 serial) const;
    qsizetype positionOf(qint64 serial) const;
    const engine::TrafficRow* logRow(const Item& item) const;
    void removeDropped();
    void showGrowth();
    void showNewEntries();
    void refreshEntryRow(qint64 serial);

    const engine::TrafficLog& log_;
    Filter filter_ = Filter::Both;
    std::deque<qint64> entries_; // serials of the entries shown, oldest first
    std::map<qint64, Opened> opened_;
    std::set<qint64> openedButFiltered_; // folds opened, then hidden by the filter
    qint64 seenEnd_ = 0;                 // serial after the last entry looked at
};
