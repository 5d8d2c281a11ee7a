#pragma once
// The "Communication", "Change Baud Rate" and "Controller Response" frames of the "Settings"
// page, with the connection to the board: detection, the receive path and its four timers, and
// the baud-rate change.
//
// Connection states (caption of cmd_conecta, port, running timers):
//   Disconnected  "Connect"     closed  none
//   Detecting     "Connect"     open    Timer1 (1500 ms time-out), Timer4 (50 ms pauses)
//   Settling      "Disconnect"  open    Timer3 (500 ms one-time drain)
//   Polling       "Disconnect"  open    Timer2 (250 ms poll)
// plus a short BaudChangePause between closing at the old rate and detecting at the new one.
//
// The detection wait runs as this state machine on the window's event loop: no nested loop, no
// sleeping. Every handler is a public slot so that tests can drive the steps one by one.

#include "serial/PortMap.h"

#include <QByteArray>
#include <QWidget>

class Dialogs;
class SerialPort;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

class ConnectionPanel : public QWidget {
    Q_OBJECT
public:
    enum class State { Disconnected, Detecting, Settling, Polling, BaudChangePause };

    // Time the board gets to switch its rate before the query at the new rate.
    static constexpr int kBaudChangePauseMs = 300;

    ConnectionPanel(SerialPort& port, Dialogs& dialogs, PortMap portMap, QWidget* parent = nullptr);

    // Start-up: lists the ports that exist among 1..16 and selects 9600 in both rate lists.
    void fillLists();
    // Shut-down: stops every timer and releases the port, sending nothing.
    void shutDown();

    State state() const { return state_; }
    QByteArray strInput() const { return strInput_; }

    // How a reply of the board shows in a response box: each byte as the character with the
    // same code (Latin-1); control characters as their visible symbols (CR as U+240D, and so
    // on), so nothing the board sent is hidden or reflows the one-line box.
    static QString replyText(const QByteArray& bytes);

public slots:
    void cmd_conecta_Click();
    void Command4_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void BaudChangePause_Timer();
    // Part of opening a picture: the "Controller Response" box is emptied.
    void clearResponse();

signals:
    void statusTextChanged(const QString& text);
    void contrastReported(int value);
    void replyShown(const QString& text);

private:
    void applyBaudRate();
    void disconnectPort(const QString& statusText);
    void finishDetection();
    void showCriticalError(int errorNumber, const QString& description);
    void onPortLost(const QString& device, const QString& reason);
    void setListsEnabled(bool enabled);
    void stopAllTimers();

    SerialPort& port_;
    Dialogs& dialogs_;
    PortMap portMap_;
    State state_ = State::Disconnected;
    QByteArray strInput_;
    QByteArray detectionText_; // what Text17 holds while detecting, as raw bytes

    QComboBox* cboPort_;
    QComboBox* cboBR_;
    QPushButton* cmd_conecta_;
    QComboBox* cmbBoudRate_;
    QPushButton* Command4_;
    QLineEdit* Text17_;
    QLineEdit* txtBuffer_;
    QTimer* Timer1_;
    QTimer* Timer2_;
    QTimer* Timer3_;
    QTimer* Timer4_;
    QTimer* BaudChangePause_;
};
