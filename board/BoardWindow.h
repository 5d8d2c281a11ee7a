#pragma once
// The virtual board's window: the LCD, the board's state and the log of decoded commands.
//
// Repaints and log lines are batched: whatever arrives is shown at most every kRefreshMs, so a
// full-screen upload (2,563 messages) does not repaint or relayout once per message.

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class LcdView;
class QLabel;
class QPlainTextEdit;
class VirtualBoard;

class BoardWindow : public QWidget {
    Q_OBJECT
public:
    explicit BoardWindow(VirtualBoard& board, int zoom = 4, QWidget* parent = nullptr);

    LcdView* lcdView() const { return lcd_; }
    QPlainTextEdit* logView() const { return log_; }

    static constexpr int kRefreshMs = 40;
    static constexpr int kLogBlocks = 5000;    // lines the log view keeps
    static constexpr int kPendingLines = 4000; // waiting for the next refresh (< kLogBlocks)

public slots:
    void scheduleRefresh();
    void addLogLine(const QString& line);
    void refreshNow(); // shows everything pending at once

private:
    QLabel* addField(class QFormLayout* form, const QString& label, const QString& objectName);
    void updateState();

    VirtualBoard& board_;
    LcdView* lcd_;
    QPlainTextEdit* log_;
    QTimer refresh_;
    QStringList pendingLines_;
    int droppedLines_ = 0;
    QLabel* device_;
    QLabel* lineRate_;
    QLabel* boardRate_;
    QLabel* lcdPower_;
    QLabel* backlight_;
    QLabel* contrast_;
    QLabel* mode_;
    QLabel* rotation_;
    QLabel* flip_;
    QLabel* font_;
    QLabel* position_;
    QLabel* touch_;
    QLabel* animation_;
};
