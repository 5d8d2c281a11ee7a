#pragma once

#include <QWidget>

class Dialogs;
class SerialPort;

class DrawingPanel : public QWidget {
    Q_OBJECT
public:
    DrawingPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);

private:
    SerialPort& port_;
    Dialogs& dialogs_;
};
