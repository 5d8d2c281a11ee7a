#include "support/WindowOnBoard.h"

#include <QAbstractButton>
#include <QTest>
#include <QTimer>

WindowOnBoard::WindowOnBoard() {
    if (!board.open())
        return;
    const PortMap map({{1, board.devicePath()}}, [](const QString&) { return true; });
    port = std::make_unique<QtSerialPort>(map);
    window = std::make_unique<MainWindow>(*port, dialogs, map);
}

void WindowOnBoard::click(const char* objectName) const {
    find<QAbstractButton>(objectName)->click();
}

bool WindowOnBoard::connectToBoard(int timeoutMs) const {
    click("cmd_conecta");
    return QTest::qWaitFor([this] { return find<QTimer>("Timer2")->isActive(); }, timeoutMs);
}
