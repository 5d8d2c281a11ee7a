#pragma once

#include <QWidget>

class Dialogs;
class SerialPort;

class TouchPanel : public QWidget {
    Q_OBJECT
public:
    TouchPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);

public slots:
    // The receive path shows each reply of the board here too.
    void showResponse(const QString& text);

private:
    SerialPort& port_;
    Dialogs& dialogs_;
};
