#pragma once

#include <QWidget>

class Dialogs;
class SerialPort;

class TextPanel : public QWidget {
    Q_OBJECT
public:
    TextPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);

private:
    SerialPort& port_;
    Dialogs& dialogs_;
};
