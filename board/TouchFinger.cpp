#include "board/TouchFinger.h"

#include "board/VirtualBoard.h"
#include "protocol/CommandCode.h"

TouchFinger::TouchFinger(VirtualBoard& board, QObject* parent) : QObject(parent), board_(board) {
    connect(&clock_, &QTimer::timeout, this, &TouchFinger::press);
}

void TouchFinger::start(int intervalMs) {
    clock_.start(intervalMs);
}

void TouchFinger::press() {
    // Back and forth across the glass, one row lower at each turn: every pixel in time.
    const qint64 step = presses_++;
    const qint64 sweep = step / protocol::kColumns;
    const int along = int(step % protocol::kColumns);
    const int x = sweep % 2 == 0 ? along : protocol::kColumns - 1 - along;
    const int y = int(sweep % protocol::kRows);
    board_.touch(x, y);
}
