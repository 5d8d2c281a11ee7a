#pragma once

#include <QWidget>

class Dialogs;
class SerialPort;

class AnimationPanel : public QWidget {
    Q_OBJECT
public:
    AnimationPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);

private:
    SerialPort& port_;
    Dialogs& dialogs_;
};
