#include "panels/touch/TouchPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "protocol/Messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TouchPanel::TouchPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    auto* touch = frame(this, "FrameTouchScreen", QStringLiteral("Touch Screen"));

    auto* options = frame(touch, "FrameOptions", QStringLiteral("Options"));
    Command22_ = button(options, "Command22", QStringLiteral("4x4 Keypad w/Flip"));
    Cmd4x4_ = button(options, "Cmd4x4", QStringLiteral("4x4 Keypad w/o Flip"));
    CmdAnalog_ = button(options, "CmdAnalog", QStringLiteral("Coordinates"),
                        QStringLiteral("Touch coordinates"));
    CmdOFF_ = button(options, "CmdOFF", QStringLiteral("OFF"), QStringLiteral("Touch screen OFF"));
    auto* optionsLayout = new QGridLayout(options);
    optionsLayout->addWidget(Command22_, 0, 0);
    optionsLayout->addWidget(Cmd4x4_, 0, 1);
    optionsLayout->addWidget(CmdAnalog_, 1, 0);
    optionsLayout->addWidget(CmdOFF_, 1, 1);

    auto* calibration = frame(touch, "FrameCalibration", QStringLiteral("Calibration"));
    CmdNewCal_ = button(calibration, "CmdNewCal", QStringLiteral("New Calibration"));
    CmdRestor_ = button(calibration, "CmdRestor", QStringLiteral("Restore Default"),
                        QStringLiteral("Restore default calibration"));
    auto* calibrationLayout = new QHBoxLayout(calibration);
    calibrationLayout->addWidget(CmdNewCal_);
    calibrationLayout->addWidget(CmdRestor_);

    auto* response = frame(touch, "FrameResponse", QStringLiteral("Response"));
    Text14_ = displayBox(response, "Text14", QString(), QStringLiteral("Touch screen response"));
    // Read-only, but reachable with Tab so that a reply can be read out and copied.
    Text14_->setFocusPolicy(Qt::StrongFocus);
    auto* responseLayout = new QVBoxLayout(response);
    responseLayout->addWidget(Text14_);

    auto* touchLayout = new QVBoxLayout(touch);
    touchLayout->addWidget(options);
    touchLayout->addWidget(calibration);
    touchLayout->addWidget(response);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(touch);
    layout->addStretch(1);

    connect(Command22_, &QPushButton::clicked, this, &TouchPanel::Command22_Click);
    connect(Cmd4x4_, &QPushButton::clicked, this, &TouchPanel::Cmd4x4_Click);
    connect(CmdAnalog_, &QPushButton::clicked, this, &TouchPanel::CmdAnalog_Click);
    connect(CmdOFF_, &QPushButton::clicked, this, &TouchPanel::CmdOFF_Click);
    connect(CmdNewCal_, &QPushButton::clicked, this, &TouchPanel::CmdNewCal_Click);
    connect(CmdRestor_, &QPushButton::clicked, this, &TouchPanel::CmdRestor_Click);
}

void TouchPanel::showResponse(const QString& text) {
    Text14_->setText(text);
}

void TouchPanel::send(const QByteArray& message) {
    if (!session_.portOpen())
        return;
    session_.send(message);
}

void TouchPanel::Command22_Click() {
    send(protocol::setKeypadMode(protocol::kKeypadWithFlip));
}

void TouchPanel::Cmd4x4_Click() {
    send(protocol::setKeypadMode(protocol::kKeypadWithoutFlip));
}

void TouchPanel::CmdAnalog_Click() {
    send(protocol::setTouchMode(protocol::kTouchCoordinates));
}

void TouchPanel::CmdOFF_Click() {
    send(protocol::setTouchMode(protocol::kTouchOff));
}

void TouchPanel::CmdNewCal_Click() {
    if (!session_.portOpen())
        return;
    const Answer answer = dialogs_.message(
        this,
        QStringLiteral("This will change current Touch Screen calibration.") + QLatin1Char('\n') +
            QStringLiteral("Are you sure you want to proceed? "),
        MessageStyle::ExclamationYesNo, QStringLiteral("Warning"));
    if (answer != Answer::Yes)
        return;
    // The port may have been lost while the box was open.
    send(protocol::calibrateTouch());
}

void TouchPanel::CmdRestor_Click() {
    send(protocol::restoreTouchCalibration());
}
