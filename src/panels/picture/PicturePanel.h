#pragma once

#include <QWidget>

class Dialogs;
class SerialPort;

class PicturePanel : public QWidget {
    Q_OBJECT
public:
    PicturePanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);

signals:
    // Opening a picture empties the "Controller Response" box.
    void responseCleared();

private:
    SerialPort& port_;
    Dialogs& dialogs_;
};
