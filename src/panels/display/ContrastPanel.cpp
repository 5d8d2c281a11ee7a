#include "panels/display/ContrastPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "protocol/Messages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

ContrastPanel::ContrastPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    auto* contrastFrame = frame(this, "FrameContrast", QStringLiteral("Contrast"));
    HScroll1_ = scrollBar(contrastFrame, "HScroll1", kMinContrast, kMaxContrast, kMinContrast,
                          QStringLiteral("Electronic Volume"));
    // The value changes only when a change is complete: a dragged thumb on its release. The
    // mirror box still follows the thumb while it moves.
    HScroll1_->setTracking(false);
    Text9_ = displayBox(contrastFrame, "Text9", QStringLiteral("0"),
                        QStringLiteral("Electronic Volume value"));
    mirror(HScroll1_, Text9_);
    auto* contrastLayout = new QHBoxLayout(contrastFrame);
    contrastLayout->addWidget(
        label(contrastFrame, QStringLiteral("Electronic &Volume"), HScroll1_));
    contrastLayout->addWidget(HScroll1_, 1);
    contrastLayout->addWidget(Text9_);

    auto* backlightFrame = frame(this, "FrameBacklight", QStringLiteral("Backlight"));
    Command18_ =
        button(backlightFrame, "Command18", QStringLiteral("ON"), QStringLiteral("Backlight ON"));
    Command19_ =
        button(backlightFrame, "Command19", QStringLiteral("OFF"), QStringLiteral("Backlight OFF"));
    auto* backlightLayout = new QHBoxLayout(backlightFrame);
    backlightLayout->addWidget(Command18_);
    backlightLayout->addWidget(Command19_);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(contrastFrame, 1);
    layout->addWidget(backlightFrame, 1);

    // valueChanged only reports real changes, so setting the value the bar already has sends
    // nothing.
    connect(HScroll1_, &QScrollBar::valueChanged, this, &ContrastPanel::HScroll1_Change);
    connect(Command18_, &QPushButton::clicked, this, &ContrastPanel::Command18_Click);
    connect(Command19_, &QPushButton::clicked, this, &ContrastPanel::Command19_Click);
}

void ContrastPanel::takeOverContrast(int value) {
    // Anything outside the board's range is not a contrast; the bar would clamp it and send a
    // value the board never reported.
    if (value < kMinContrast || value > kMaxContrast)
        return;
    HScroll1_->setValue(value); // runs HScroll1_Change when it differs
    Text9_->setText(QString::number(HScroll1_->value()));
}

void ContrastPanel::HScroll1_Change() {
    Text9_->setText(QString::number(HScroll1_->value()));
    if (!session_.portOpen())
        return;
    session_.send(protocol::setContrast(protocol::Byte(HScroll1_->value())));
}

void ContrastPanel::Command18_Click() {
    if (!session_.portOpen())
        return;
    session_.send(protocol::setBacklight(true));
}

void ContrastPanel::Command19_Click() {
    if (!session_.portOpen())
        return;
    session_.send(protocol::setBacklight(false));
}
