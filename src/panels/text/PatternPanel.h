#pragma once

#include <QWidget>

class Dialogs;
class SerialPort;

class PatternPanel : public QWidget {
    Q_OBJECT
public:
    PatternPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);

private:
    SerialPort& port_;
    Dialogs& dialogs_;
};
