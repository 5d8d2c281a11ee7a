#pragma once

#include <QWidget>

class Dialogs;
class SerialPort;

class StartPositionPanel : public QWidget {
    Q_OBJECT
public:
    StartPositionPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);

private:
    SerialPort& port_;
    Dialogs& dialogs_;
};
