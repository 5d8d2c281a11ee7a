#pragma once

#include <QWidget>

class Dialogs;
class SerialPort;

class MemoryPanel : public QWidget {
    Q_OBJECT
public:
    MemoryPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);

public slots:
    // The About box gesture: screens 1..4 become reachable until the program ends.
    void unlockFontScreens();

private:
    SerialPort& port_;
    Dialogs& dialogs_;
};
