#pragma once
// A finger on the virtual board's glass: every interval it presses at the next point of a slow
// path over the whole glass, as someone drawing on it would, so that a program sees a steady
// stream of touch reports (when the board's touch screen is on; off, the board sends nothing).

#include <QObject>
#include <QTimer>

class VirtualBoard;

class TouchFinger : public QObject {
    Q_OBJECT
public:
    explicit TouchFinger(VirtualBoard& board, QObject* parent = nullptr);

    void start(int intervalMs);
    qint64 presses() const { return presses_; }

private:
    void press();

    VirtualBoard& board_;
    QTimer clock_;
    qint64 presses_ = 0;
};
