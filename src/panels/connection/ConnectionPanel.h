#pragma once
// The "Communication", "Change Baud Rate" and "Controller Response" frames of the "Settings"
// page: a view of the board session. The connection itself (detection, the receive path and
// its timers, the baud-rate change) is engine::BoardSession; this panel turns clicks into
// session calls and the session's signals into captions, boxes and status texts.
//
//   name         caption / text                    what it does
//   cboPort      "1  ttyUSB0  FT232R USB UART"     the port "Connect" opens: number, device,
//                                                  adapter; the item data holds the number
//   cboBR        "2400" .. "115200"                the rate "Connect" opens at
//   cmd_conecta  "Connect" / "Disconnect"          connect: opens, sends Identify 49 44 and
//                                                  detects; disconnect: closes the port
//   cmbBoudRate  "2400" .. "115200" (editable)     the board's new rate
//   Command4     "OK"                              "Attention" box, then SetBaudRate 0F nn at
//                                                  the old rate, and detection at the new one
//   Text17       "Controller Response"             what the board sent (read-only)
//   txtBuffer    (hidden)                          the piece being shown
//   Timer1..4    (the session's timers)            detection time-out, poll, drain, pause
//
// The port list follows the system while no port is in use (a PortWatcher tells of changes):
// the selection stays on its device when numbers shift, and falls back to the first port when
// its device is gone. While a port is in use the list waits, and catches up when it is enabled
// again. An adapter lost while connected is remembered by its stable identity; when it comes
// back, the list selects it and the status bar says so. Nothing reconnects by itself.

#include "serial/PortEntry.h"
#include "serial/PortMap.h"
#include "serial/PortError.h"

#include <QByteArray>
#include <QList>
#include <QWidget>
#include <optional>

class Dialogs;
namespace engine {
class BoardSession;
enum class SessionState;
} // namespace engine
class PortWatcher;
class QComboBox;
class QLineEdit;
class QPushButton;

class ConnectionPanel : public QWidget {
    Q_OBJECT
public:
    ConnectionPanel(engine::BoardSession& session, Dialogs& dialogs, PortMap portMap,
                    QWidget* parent = nullptr);

    // Start-up: lists the ports that exist among 1..16, selects the first, and selects 9600 in
    // both rate lists.
    void fillLists();
    // Selects port `number` in the list; false when the list does not show it.
    bool selectPort(int number);
    // Shut-down: stops every timer and releases the port, sending nothing.
    void shutDown();

    // How a reply of the board shows in a response box: each byte as the character with the
    // same code (Latin-1), control characters as a visible name in angle brackets.
    static QString replyText(const QByteArray& bytes);

public slots:
    void cmd_conecta_Click();
    void Command4_Click();
    // The timers' ticks (the timers belong to the session).
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void BaudChangePause_Timer();
    // Part of opening a picture: the "Controller Response" box is emptied.
    void clearResponse();

signals:
    void statusTextChanged(const QString& text);
    void replyShown(const QString& text);

private:
    void onStateChanged(engine::SessionState state);
    void onDetected();
    void onDetectionTimedOut();
    void onPortLost(const QString& device, const QString& reason, int uploadBytesSent);
    void showCriticalError(PortError error, const QString& description);
    void setListsEnabled(bool enabled);
    void setConnectCaption(const QString& caption);
    // The port list following the system.
    void watchSystemPorts();
    void onSystemPortsChanged();
    void followSystemPorts();
    void followSessionForPorts(engine::SessionState state);
    void rememberLostPort();
    void announceReturnedPort();

    engine::BoardSession& session_;
    Dialogs& dialogs_;
    PortMap portMap_;

    QComboBox* cboPort_;
    QComboBox* cboBR_;
    QPushButton* cmd_conecta_;
    QComboBox* cmbBoudRate_;
    QPushButton* Command4_;
    QLineEdit* Text17_;
    QLineEdit* txtBuffer_;

    PortWatcher* portWatcher_ = nullptr;
    QList<PortEntry> shownPorts_;        // what cboPort lists, item by item
    std::optional<PortEntry> portInUse_; // the port of the current or last connection
    struct LostPort {
        QString stableId;
        bool seenGone = false; // it has left the list since it was lost
    };
    std::optional<LostPort> lostPort_;
    engine::SessionState shownState_; // the session's state as the panel last showed it
};
