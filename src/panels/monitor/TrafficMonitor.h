#pragma once
// The "Traffic Monitor" window: every write to the board and every chunk read from it, with the
// time of day, the direction, the bytes and what they mean. It records from the start of the
// program, open or not, so that it can be opened after something unexpected has happened.
//
//   name              caption              what it does
//   trafficTable      (the rows)           Right or Enter opens a fold, Left closes it; Ctrl+C
//                                          copies the selected rows
//   pauseButton       "Pause"              while down, rows are still recorded, the view holds
//   clearButton       "Clear"              forgets every row
//   copyButton        "Copy"               the selected rows (a fold: all its rows) as text
//   saveButton        "Save..."            the rows shown by the filter as text or CSV
//   saveScriptButton  "Save as Script..."  the rows sent to the board as a vantrelctl script
//   directionFilter   "Show:"              both directions, to the board or from the board
//   rowCountLabel                          how many rows are kept, and "paused"
//   droppedLabel                           how many of the oldest rows the bound has dropped
//
// New rows reach the table every kRefreshMs while the window is open, in one batch, so that a
// picture upload costs the event loop a few short steps and not one per write.

#include "engine/TrafficLog.h"

#include <QWidget>
#include <functional>
#include <vector>

class Dialogs;
class TrafficTableModel;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QTimer;

class TrafficMonitor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 100;

    explicit TrafficMonitor(Dialogs& dialogs, QWidget* parent = nullptr,
                            qsizetype maxRows = engine::TrafficLog::kDefaultMaxRows,
                            qint64 maxBytes = engine::TrafficLog::kDefaultMaxBytes);
    ~TrafficMonitor() override;

    const engine::TrafficLog& log() const { return log_; }
    TrafficTableModel* model() const { return model_; }
    bool paused() const;

    // Clock of the rows recorded from now on (milliseconds since the epoch).
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

    // The script file for the rows kept: a header, then the lines of ScriptWriter.
    QString scriptText() const;
    // The rows sent to the board, oldest first.
    std::vector<engine::TrafficRow> sentRows() const;

public slots:
    // One write or read, from the session's traffic signal.
    void record(engine::Direction direction, const QByteArray& bytes);
    // Brings the table up to the log (the timer's tick).
    void refresh();
    void setPaused(bool paused);
    void clear();
    void copySelection();
    void save();
    void saveScript();

signals:
    // The window was shown or closed.
    void shownChanged(bool shown);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool writeFile(const QString& fileName, const QString& text);
    void showCounts();
    QString selectedText() const;

    Dialogs& dialogs_;
    engine::TrafficLog log_;
    std::function<qint64()> clock_;
    TrafficTableModel* model_;
    QTimer* refreshTimer_;
    QTableView* table_;
    QPushButton* pauseButton_;
    QPushButton* clearButton_;
    QPushButton* copyButton_;
    QPushButton* saveButton_;
    QPushButton* saveScriptButton_;
    QComboBox* directionFilter_;
    QLabel* rowCountLabel_;
    QLabel* droppedLabel_;
};
