#pragma once

#include <QWidget>

class Dialogs;
class SerialPort;

class ContrastPanel : public QWidget {
    Q_OBJECT
public:
    ContrastPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);

public slots:
    // The contrast the board reported at connection; sets the scroll bar, which echoes it.
    void takeOverContrast(int value);

private:
    SerialPort& port_;
    Dialogs& dialogs_;
};
