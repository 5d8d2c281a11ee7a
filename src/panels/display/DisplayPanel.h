#pragma once

#include <QWidget>

class Dialogs;
class SerialPort;

class DisplayPanel : public QWidget {
    Q_OBJECT
public:
    DisplayPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);

private:
    SerialPort& port_;
    Dialogs& dialogs_;
};
