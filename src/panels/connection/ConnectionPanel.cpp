#include "panels/connection/ConnectionPanel.h"

#include "app/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "protocol/BaudRates.h"
#include "protocol/Messages.h"
#include "serial/SerialPort.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>

namespace {

const QString kConnect = QStringLiteral("Connect");
const QString kDisconnect = QStringLiteral("Disconnect");
const QString kDisconnectedByUser = QStringLiteral("Controller Disconnected");
const QString kDisconnectedTimeOut = QStringLiteral("Controller Disconnected ");

// Error shown when "Connect" is pressed with no port in the list.
constexpr int kNoPortErrorNumber = 1;

QTimer* makeTimer(QObject* parent, const char* name, int intervalMs) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(intervalMs);
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}

// The contrast in front of the first "!": plain decimal digits with optional blanks, 0..127.
std::optional<int> contrastOf(const QByteArray& reply) {
    const int bang = reply.indexOf('!');
    if (bang < 0)
        return std::nullopt;
    const QByteArray text = reply.left(bang).trimmed();
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(QString::fromLatin1(text)).hasMatch())
        return std::nullopt;
    const int value = text.toInt();
    if (value < 0 || value > 127)
        return std::nullopt;
    return value;
}

} // namespace

ConnectionPanel::ConnectionPanel(SerialPort& port, Dialogs& dialogs, PortMap portMap,
                                 QWidget* parent)
    : QWidget(parent), port_(port), dialogs_(dialogs), portMap_(std::move(portMap)) {
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

    Timer1_ = makeTimer(this, "Timer1", 1500);
    Timer2_ = makeTimer(this, "Timer2", 250);
    Timer3_ = makeTimer(this, "Timer3", 500);
    Timer4_ = makeTimer(this, "Timer4", 50);
    BaudChangePause_ = makeTimer(this, "BaudChangePause", kBaudChangePauseMs);
    BaudChangePause_->setSingleShot(true);

    connect(cmd_conecta_, &QPushButton::clicked, this, &ConnectionPanel::cmd_conecta_Click);
    connect(Command4_, &QPushButton::clicked, this, &ConnectionPanel::Command4_Click);
    connect(Timer1_, &QTimer::timeout, this, &ConnectionPanel::Timer1_Timer);
    connect(Timer2_, &QTimer::timeout, this, &ConnectionPanel::Timer2_Timer);
    connect(Timer3_, &QTimer::timeout, this, &ConnectionPanel::Timer3_Timer);
    connect(Timer4_, &QTimer::timeout, this, &ConnectionPanel::Timer4_Timer);
    connect(BaudChangePause_, &QTimer::timeout, this, &ConnectionPanel::BaudChangePause_Timer);
    connect(&port_, &SerialPort::portLost, this, &ConnectionPanel::onPortLost);
}

void ConnectionPanel::fillLists() {
    cboPort_->clear();
    for (int n : portMap_.existingPorts()) {
        cboPort_->addItem(QString::number(n));
        cboPort_->setItemData(cboPort_->count() - 1, portMap_.devicePath(n), Qt::ToolTipRole);
    }
    cboPort_->setCurrentIndex(cboPort_->count() > 0 ? 0 : -1);
    cboBR_->setCurrentIndex(protocol::kDefaultRateIndex);
    cmbBoudRate_->setCurrentIndex(protocol::kDefaultRateIndex);
}

void ConnectionPanel::shutDown() {
    stopAllTimers();
    state_ = State::Disconnected;
    if (port_.portOpen())
        port_.closePort();
}

QString ConnectionPanel::replyText(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20)
            text += QChar(0x2400 + code);
        else if (code == 0x7F)
            text += QChar(0x2421);
        else
            text += QChar(code);
    }
    return text;
}

void ConnectionPanel::cmd_conecta_Click() {
    // A second press while the board is being detected, or during the pause of a baud-rate
    // change, is ignored: the first attempt is still running.
    if (state_ == State::Detecting || state_ == State::BaudChangePause)
        return;
    setListsEnabled(false);

    if (cmd_conecta_->text() == kDisconnect) {
        disconnectPort(kDisconnectedByUser);
        return;
    }

    bool isNumber = false;
    const int portNumber = cboPort_->currentText().toInt(&isNumber);
    if (!isNumber) {
        showCriticalError(kNoPortErrorNumber,
                          QStringLiteral("No serial port is selected: none was found on this "
                                         "computer. Set VANTREL_COM1 to a device path to use "
                                         "another device."));
        return;
    }
    port_.setCommPort(portNumber);
    applyBaudRate();
    if (!port_.portOpen()) {
        const OpenResult result = port_.openPort();
        if (!result.ok) {
            showCriticalError(result.errorNumber, result.description);
            return;
        }
    }

    strInput_.clear();
    detectionText_.clear();
    Text17_->clear();
    Timer1_->start();
    state_ = State::Detecting;
    if (!port_.output(protocol::identify()))
        return; // the port is gone; onPortLost has reset everything
    Timer4_->start();
}

void ConnectionPanel::applyBaudRate() {
    const QString settings = protocol::settingsText(cboBR_->currentIndex());
    if (!settings.isEmpty())
        port_.setSettings(settings);
}

void ConnectionPanel::Timer4_Timer() {
    Timer4_->stop();
    if (state_ != State::Detecting || !port_.portOpen())
        return;
    strInput_ = port_.input();
    detectionText_ += strInput_;
    Text17_->setText(replyText(detectionText_));
    // "64" holds a "6", so a "6" or a "!" anywhere accepts the answer.
    const bool accepted = detectionText_.contains('6') || detectionText_.contains('!');
    if (Timer1_->isActive() && accepted)
        finishDetection();
    else
        Timer4_->start();
}

void ConnectionPanel::finishDetection() {
    Timer1_->stop();
    state_ = State::Settling;
    cmd_conecta_->setText(kDisconnect);
    emit statusTextChanged(
        QStringLiteral("Connected: COM%1 %2").arg(port_.commPort()).arg(port_.settings()));
    if (const auto contrast = contrastOf(detectionText_))
        emit contrastReported(*contrast); // echoed to the board by the contrast bar
    if (state_ != State::Settling)
        return; // the echo found the port gone
    detectionText_.clear();
    Text17_->clear();
    Timer3_->start();
}

void ConnectionPanel::Timer1_Timer() {
    Timer1_->stop();
    Timer4_->stop();
    emit statusTextChanged(kDisconnectedTimeOut);
    Timer2_->stop();
    Timer3_->stop();
    if (port_.portOpen())
        port_.closePort();
    state_ = State::Disconnected;
    cmd_conecta_->setText(kConnect);
    setListsEnabled(true);
    emit statusTextChanged(kDisconnectedTimeOut);
    dialogs_.message(this, QStringLiteral("Controller not found"), MessageStyle::InformationOk,
                     QStringLiteral("Demo mode"));
}

void ConnectionPanel::Timer3_Timer() {
    Timer3_->stop();
    if (state_ != State::Settling || !port_.portOpen())
        return;
    // Whatever came in the first 500 ms (the rest of the answer, the echo of the contrast) is
    // dropped unseen.
    strInput_ = port_.input();
    txtBuffer_->clear();
    state_ = State::Polling;
    Timer2_->start();
}

void ConnectionPanel::Timer2_Timer() {
    if (state_ != State::Polling || !port_.portOpen()) {
        Timer2_->stop();
        return;
    }
    strInput_ = port_.input();
    if (strInput_.isEmpty())
        return;
    txtBuffer_->setText(replyText(strInput_));
    Text17_->setText(txtBuffer_->text());
    emit replyShown(txtBuffer_->text());
}

void ConnectionPanel::Command4_Click() {
    if (!port_.portOpen())
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
    if (dialogs_.message(this, QStringLiteral("Please remove jumper from J7 and click OK."),
                         MessageStyle::WarningOkCancel, QStringLiteral("Attention")) != Answer::Ok)
        return;
    if (!port_.portOpen())
        return; // lost while the box was open
    if (!port_.output(protocol::setBaudRate(std::uint8_t(*rateIndex))))
        return;
    stopAllTimers();
    port_.closePort();
    cboBR_->setCurrentIndex(*rateIndex);
    cmbBoudRate_->setCurrentIndex(*rateIndex);
    cmd_conecta_->setText(kConnect);
    emit statusTextChanged(kDisconnectedTimeOut);
    cmd_conecta_->setFocus();
    // Nothing is sent and no timer reads the port until the board has switched its rate.
    state_ = State::BaudChangePause;
    cmd_conecta_->setEnabled(false);
    BaudChangePause_->start();
}

void ConnectionPanel::BaudChangePause_Timer() {
    BaudChangePause_->stop();
    if (state_ != State::BaudChangePause)
        return;
    state_ = State::Disconnected;
    cmd_conecta_->setEnabled(true);
    cmd_conecta_->setFocus();
    cmd_conecta_Click();
}

void ConnectionPanel::clearResponse() {
    Text17_->clear();
    if (state_ == State::Detecting)
        detectionText_.clear();
}

void ConnectionPanel::disconnectPort(const QString& statusText) {
    stopAllTimers();
    if (port_.portOpen())
        port_.closePort();
    state_ = State::Disconnected;
    cmd_conecta_->setText(kConnect);
    cmd_conecta_->setEnabled(true);
    setListsEnabled(true);
    emit statusTextChanged(statusText);
}

void ConnectionPanel::onPortLost(const QString& device, const QString& reason) {
    disconnectPort(kDisconnectedByUser);
    // Told once, after the handler that hit the failure has returned.
    const QString text = QStringLiteral("The connection to the controller was lost.\nDevice: %1\n"
                                        "Reason: %2")
                             .arg(device, reason);
    QTimer::singleShot(0, this, [this, text] {
        dialogs_.message(this, text, MessageStyle::CriticalOk, QStringLiteral("Critical Error"));
    });
}

void ConnectionPanel::showCriticalError(int errorNumber, const QString& description) {
    setListsEnabled(true);
    dialogs_.message(this,
                     QStringLiteral("Can't open the selected COM Port.\nError code: %1\n"
                                    "Description: %2")
                         .arg(errorNumber)
                         .arg(description),
                     MessageStyle::CriticalOk, QStringLiteral("Critical Error"));
}

void ConnectionPanel::setListsEnabled(bool enabled) {
    cboPort_->setEnabled(enabled);
    cboBR_->setEnabled(enabled);
}

void ConnectionPanel::stopAllTimers() {
    Timer1_->stop();
    Timer2_->stop();
    Timer3_->stop();
    Timer4_->stop();
    BaudChangePause_->stop();
}
