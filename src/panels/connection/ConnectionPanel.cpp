#include "panels/connection/ConnectionPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "protocol/BaudRates.h"
#include "protocol/LineSettings.h"
#include "protocol/ReplyText.h"
#include "serial/PortWatcher.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

using engine::BoardSession;
using engine::SessionState;

namespace {

const QString kConnect = QStringLiteral("Connect");
const QString kDisconnect = QStringLiteral("Disconnect");
const QString kDisconnectedByUser = QStringLiteral("Controller Disconnected");
const QString kDisconnectedTimeOut = QStringLiteral("Controller Disconnected ");

} // namespace

ConnectionPanel::ConnectionPanel(BoardSession& session, Dialogs& dialogs, PortMap portMap,
                                 QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs), portMap_(std::move(portMap)) {
    using namespace widgets;

    auto* communication = frame(this, "FrameCommunication", QStringLiteral("Communication"));
    cboPort_ = new QComboBox(communication);
    cboPort_->setObjectName(QStringLiteral("cboPort"));
    cboPort_->setAccessibleName(QStringLiteral("COM Port"));
    cboBR_ = new QComboBox(communication);
    cboBR_->setObjectName(QStringLiteral("cboBR"));
    cboBR_->setAccessibleName(QStringLiteral("Baud Rate"));
    cboBR_->addItems(protocol::rateTexts());
    cmd_conecta_ = button(communication, "cmd_conecta", kConnect);
    auto* commLayout = new QGridLayout(communication);
    commLayout->addWidget(label(communication, QStringLiteral("COM &Port"), cboPort_), 0, 0);
    commLayout->addWidget(cboPort_, 0, 1);
    commLayout->addWidget(label(communication, QStringLiteral("&Baud Rate"), cboBR_), 1, 0);
    commLayout->addWidget(cboBR_, 1, 1);
    commLayout->addWidget(cmd_conecta_, 2, 0, 1, 2);

    auto* baudFrame = frame(this, "FrameChangeBaudRate", QStringLiteral("Change Baud Rate"));
    cmbBoudRate_ = new QComboBox(baudFrame);
    cmbBoudRate_->setObjectName(QStringLiteral("cmbBoudRate"));
    cmbBoudRate_->setAccessibleName(QStringLiteral("New baud rate"));
    cmbBoudRate_->setEditable(true);
    cmbBoudRate_->setInsertPolicy(QComboBox::NoInsert);
    cmbBoudRate_->addItems(protocol::rateTexts());
    Command4_ =
        button(baudFrame, "Command4", QStringLiteral("OK"), QStringLiteral("Change baud rate"));
    auto* baudLayout = new QHBoxLayout(baudFrame);
    baudLayout->addWidget(cmbBoudRate_, 1);
    baudLayout->addWidget(Command4_);

    auto* responseFrame =
        frame(this, "FrameControllerResponse", QStringLiteral("Controller Response"));
    Text17_ = displayBox(responseFrame, "Text17", QString(), QStringLiteral("Controller Response"));
    // Read-only, but reachable with Tab so that a reply can be read out and copied.
    Text17_->setFocusPolicy(Qt::StrongFocus);
    auto* responseLayout = new QVBoxLayout(responseFrame);
    responseLayout->addWidget(Text17_);

    // Holds the piece being shown; never visible.
    txtBuffer_ = displayBox(this, "txtBuffer", QString(), QStringLiteral("Receive buffer"));
    txtBuffer_->hide();

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(communication, 0, 0);
    layout->addWidget(baudFrame, 0, 1, Qt::AlignTop);
    layout->addWidget(responseFrame, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);

    shownState_ = session_.state();
    connect(cmd_conecta_, &QPushButton::clicked, this, &ConnectionPanel::cmd_conecta_Click);
    connect(Command4_, &QPushButton::clicked, this, &ConnectionPanel::Command4_Click);
    connect(&session_, &BoardSession::stateChanged, this, &ConnectionPanel::onStateChanged);
    connect(&session_, &BoardSession::openFailed, this, &ConnectionPanel::showCriticalError);
    connect(&session_, &BoardSession::detectionTextChanged, this,
            [this](const QByteArray& text) { Text17_->setText(protocol::replyText(text)); });
    connect(&session_, &BoardSession::detected, this, &ConnectionPanel::onDetected);
    connect(&session_, &BoardSession::detectionTimedOut, this,
            &ConnectionPanel::onDetectionTimedOut);
    connect(&session_, &BoardSession::disconnected, this,
            [this] { emit statusTextChanged(kDisconnectedByUser); });
    connect(&session_, &BoardSession::baudChangeStarted, this, [this](int rateIndex) {
        cboBR_->setCurrentIndex(rateIndex);
        cmbBoudRate_->setCurrentIndex(rateIndex);
        emit statusTextChanged(kDisconnectedTimeOut);
        // cmd_conecta is disabled during the pause and takes the focus when it ends.
    });
    connect(&session_, &BoardSession::replyReceived, this, [this](const QByteArray& bytes) {
        txtBuffer_->setText(protocol::replyText(bytes));
        Text17_->setText(txtBuffer_->text());
        emit replyShown(txtBuffer_->text());
    });
    connect(&session_, &BoardSession::portLost, this, &ConnectionPanel::onPortLost);
    watchSystemPorts();
}

void ConnectionPanel::fillLists() {
    cboPort_->clear();
    shownPorts_.clear();
    followSystemPorts();
    cboBR_->setCurrentIndex(protocol::kDefaultRateIndex);
    cmbBoudRate_->setCurrentIndex(protocol::kDefaultRateIndex);
}

bool ConnectionPanel::selectPort(int number) {
    const int index = cboPort_->findData(number);
    if (index >= 0)
        cboPort_->setCurrentIndex(index);
    return index >= 0;
}

void ConnectionPanel::shutDown() {
    session_.shutDown();
}

QString ConnectionPanel::replyText(const QByteArray& bytes) {
    return protocol::replyText(bytes);
}

void ConnectionPanel::cmd_conecta_Click() {
    switch (session_.state()) {
    case SessionState::Detecting:
    case SessionState::BaudChangePause:
        // A second press while the board is being detected, or during the pause of a
        // baud-rate change, is ignored: the first attempt is still running.
        return;
    case SessionState::Settling:
    case SessionState::Polling:
        setListsEnabled(false);
        session_.disconnectBoard();
        return;
    case SessionState::Disconnected:
        break;
    }
    setListsEnabled(false);
    bool isNumber = false;
    const int portNumber = cboPort_->currentData().toInt(&isNumber);
    if (!isNumber) {
        showCriticalError(PortError::DeviceNotFound, portMap_.noPortDescription());
        return;
    }
    // Without a selected rate the port keeps the line it was last given.
    const auto line = protocol::LineSettings::ofRateIndex(cboBR_->currentIndex());
    Text17_->clear();
    session_.connectTo(portNumber, line.value_or(session_.lineSettings()));
}

void ConnectionPanel::onStateChanged(SessionState state) {
    const SessionState previous = shownState_;
    shownState_ = state;
    switch (state) {
    case SessionState::Disconnected:
        setConnectCaption(kConnect);
        cmd_conecta_->setEnabled(true);
        if (previous == SessionState::BaudChangePause) {
            // The pause is over and the session opens the same port again at once. The list
            // stays as it is, so that the port's number still leads to the device the list
            // shows: read again, the number could belong to an adapter plugged in meanwhile.
            // Enter now presses Connect, not the rate's OK again.
            cmd_conecta_->setFocus();
            break;
        }
        setListsEnabled(true);
        break;
    case SessionState::Detecting:
        setConnectCaption(kConnect);
        cmd_conecta_->setEnabled(true);
        setListsEnabled(false);
        break;
    case SessionState::Settling:
    case SessionState::Polling:
        setConnectCaption(kDisconnect);
        setListsEnabled(false);
        break;
    case SessionState::BaudChangePause:
        // Nothing can be sent until the board has switched its rate.
        setConnectCaption(kConnect);
        cmd_conecta_->setEnabled(false);
        setListsEnabled(false);
        break;
    }
}

void ConnectionPanel::onDetected() {
    emit statusTextChanged(QStringLiteral("Connected: COM%1 %2")
                               .arg(session_.commPort())
                               .arg(session_.settingsText()));
    Text17_->clear();
}

void ConnectionPanel::onDetectionTimedOut() {
    emit statusTextChanged(kDisconnectedTimeOut);
    dialogs_.message(this, QStringLiteral("Controller not found"), MessageStyle::InformationOk,
                     QStringLiteral("Demo mode"));
}

void ConnectionPanel::Timer1_Timer() {
    session_.detectionTimeoutTick();
}

void ConnectionPanel::Timer2_Timer() {
    session_.pollTick();
}

void ConnectionPanel::Timer3_Timer() {
    session_.settleTick();
}

void ConnectionPanel::Timer4_Timer() {
    session_.detectionPauseTick();
}

void ConnectionPanel::BaudChangePause_Timer() {
    session_.baudChangePauseTick();
}

void ConnectionPanel::Command4_Click() {
    if (!session_.portOpen())
        return;
    const auto rateIndex = protocol::indexOfRateText(cmbBoudRate_->currentText());
    if (!rateIndex) {
        dialogs_.message(
            this,
            QStringLiteral("\"%1\" is not a rate the board knows. Choose one of %2.")
                .arg(cmbBoudRate_->currentText(), protocol::rateTexts().join(QStringLiteral(", "))),
            MessageStyle::InformationOk, QStringLiteral("Error"));
        return;
    }
    if (const QString refusal = session_.rateChangeRefusal(); !refusal.isEmpty()) {
        dialogs_.message(this, refusal, MessageStyle::InformationOk, QStringLiteral("Error"));
        return;
    }
    if (dialogs_.message(this, QStringLiteral("Please remove jumper from J7 and click OK."),
                         MessageStyle::WarningOkCancel, QStringLiteral("Attention")) != Answer::Ok)
        return;
    session_.changeBaudRate(*rateIndex); // does nothing when the port was lost meanwhile
}

void ConnectionPanel::clearResponse() {
    Text17_->clear();
    session_.clearDetectionText();
}

void ConnectionPanel::onPortLost(const QString& device, const QString& reason,
                                 int uploadBytesSent) {
    emit statusTextChanged(kDisconnectedByUser);
    rememberLostPort();
    QString text = QStringLiteral("The connection to the controller was lost.\nDevice: %1\n"
                                  "Reason: %2")
                       .arg(device, reason);
    if (uploadBytesSent >= 0)
        text += QStringLiteral("\nThe picture upload stopped after %1 of %2 bytes.")
                    .arg(uploadBytesSent)
                    .arg(BoardSession::kScreenBytes);
    // Told once, after the handler that hit the failure has returned.
    QTimer::singleShot(0, this, [this, text] {
        dialogs_.message(this, text, MessageStyle::CriticalOk, QStringLiteral("Critical Error"));
    });
}

void ConnectionPanel::showCriticalError(PortError error, const QString& description) {
    setListsEnabled(true);
    dialogs_.message(this,
                     QStringLiteral("Can't open the selected COM Port.\nError code: %1\n"
                                    "Description: %2")
                         .arg(portErrorNumber(error))
                         .arg(description),
                     MessageStyle::CriticalOk, QStringLiteral("Critical Error"));
}

void ConnectionPanel::setListsEnabled(bool enabled) {
    cboPort_->setEnabled(enabled);
    cboBR_->setEnabled(enabled);
    if (enabled)
        followSystemPorts(); // what changed while the port was in use
}

void ConnectionPanel::setConnectCaption(const QString& caption) {
    cmd_conecta_->setText(caption);
}

// --- The port list following the system ------------------------------------------------------

void ConnectionPanel::watchSystemPorts() {
    connect(&session_, &BoardSession::stateChanged, this, &ConnectionPanel::followSessionForPorts);
    const auto& system = portMap_.system();
    if (!system)
        return; // an explicit table: nothing to follow
    portWatcher_ = new PortWatcher(*system, this);
    connect(portWatcher_, &PortWatcher::portsChanged, this, &ConnectionPanel::onSystemPortsChanged);
}

void ConnectionPanel::onSystemPortsChanged() {
    // While a port is in use its number must keep its device; the list catches up when it is
    // enabled again.
    if (session_.state() == SessionState::Disconnected && cboPort_->isEnabledTo(this))
        followSystemPorts();
}

void ConnectionPanel::followSystemPorts() {
    portMap_.refresh(); // the serial port shares the map: numbers open what the list shows
    const QList<PortEntry> ports = portMap_.entries();
    if (ports != shownPorts_ || cboPort_->count() != ports.size()) {
        const int current = cboPort_->currentIndex();
        const QString selected = current >= 0 && current < shownPorts_.size()
                                     ? shownPorts_.at(current).devicePath
                                     : QString();
        shownPorts_ = ports;
        cboPort_->clear();
        int select = ports.isEmpty() ? -1 : 0;
        for (const PortEntry& port : ports) {
            if (!selected.isEmpty() && port.devicePath == selected)
                select = cboPort_->count();
            cboPort_->addItem(port.label(), port.number);
            cboPort_->setItemData(cboPort_->count() - 1, port.toolTip(), Qt::ToolTipRole);
        }
        cboPort_->setCurrentIndex(select);
    }
    announceReturnedPort();
}

void ConnectionPanel::followSessionForPorts(SessionState state) {
    if (state != SessionState::Detecting)
        return;
    // A new connection: the port it uses, as the list showed it (the list is frozen now).
    lostPort_.reset();
    portInUse_.reset();
    for (const PortEntry& port : std::as_const(shownPorts_))
        if (port.number == session_.commPort())
            portInUse_ = port;
}

void ConnectionPanel::rememberLostPort() {
    if (!portInUse_ || portInUse_->stableId.isEmpty())
        return; // an adapter that cannot be told from another is not waited for
    const QString id = portInUse_->stableId;
    // The list was read again as the connection ended; the adapter may have left it already.
    const bool listed = std::any_of(shownPorts_.begin(), shownPorts_.end(),
                                    [&](const PortEntry& port) { return port.stableId == id; });
    lostPort_ = LostPort{id, !listed};
}

void ConnectionPanel::announceReturnedPort() {
    if (!lostPort_)
        return;
    const auto it =
        std::find_if(shownPorts_.begin(), shownPorts_.end(),
                     [&](const PortEntry& port) { return port.stableId == lostPort_->stableId; });
    if (it == shownPorts_.end()) {
        lostPort_->seenGone = true;
        return;
    }
    if (!lostPort_->seenGone)
        return; // still the lost device's own entry, before the system has removed it
    lostPort_.reset();
    cboPort_->setCurrentIndex(int(it - shownPorts_.begin()));
    emit statusTextChanged(
        QStringLiteral("COM%1 (%2) is back: press Connect").arg(it->number).arg(it->deviceName));
}
