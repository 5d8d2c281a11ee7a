#pragma once
// A main window on a fake port and scripted dialogs, with lookups of its controls by name.

#include "app/MainWindow.h"
#include "support/FakeSerialPort.h"
#include "support/FindControl.h"
#include "support/RecordingDialogs.h"

#include <QTest>
#include <memory>

class ConnectionPanel;

struct WindowFixture {
    explicit WindowFixture(QMap<int, QString> devices = {{1, QStringLiteral("/dev/fake1")}});

    template <typename T> T* find(const char* objectName) const {
        return findControl<T>(window.get(), objectName);
    }
    ConnectionPanel* connection() const;
    QString statusText() const;

    // Presses "Connect" and lets the board answer `reply` at the first pause.
    void connectWith(const QByteArray& reply);
    // Connects with "45!" and runs the drain, so that the receive path is polling.
    void connectAndPoll();

    FakeSerialPort port;
    RecordingDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};
