#include "panels/animation/AnimationPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "protocol/Messages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// ClearDisplay's parameter for the whole screen; clearing it stops the animation.
constexpr protocol::Byte kWholeScreen = 16;

struct BarInFrame {
    QScrollBar* bar;
    QLineEdit* box;
};

// One sub-frame: a scroll bar with its mirror box beside it. The frame's title names the bar.
BarInFrame addBarFrame(QWidget* parent, QLayout* into, const char* frameName, const QString& title,
                       const char* barName, const char* boxName, int minimum, int maximum,
                       const QString& accessibleName) {
    auto* box = widgets::frame(parent, frameName, title);
    QScrollBar* bar = widgets::scrollBar(box, barName, minimum, maximum, minimum, accessibleName);
    QLineEdit* mirrorBox = widgets::displayBox(box, boxName, QString::number(minimum),
                                               accessibleName + QStringLiteral(" value"));
    widgets::mirror(bar, mirrorBox);
    auto* layout = new QHBoxLayout(box);
    layout->addWidget(bar, 1);
    layout->addWidget(mirrorBox);
    into->addWidget(box);
    return {bar, mirrorBox};
}

} // namespace

AnimationPanel::AnimationPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    auto* animation = frame(this, "FrameAnimation", QStringLiteral("Animation"));
    auto* animationLayout = new QVBoxLayout(animation);
    const BarInFrame delay =
        addBarFrame(animation, animationLayout, "FrameDelay", QStringLiteral("Delay"), "HScroll5",
                    "Text11", 3, 100, QStringLiteral("Animation delay"));
    const BarInFrame start =
        addBarFrame(animation, animationLayout, "FrameStartScreen", QStringLiteral("Start Screen"),
                    "HScroll6", "Text12", 1, 202, QStringLiteral("Start screen"));
    const BarInFrame stop =
        addBarFrame(animation, animationLayout, "FrameStopScreen", QStringLiteral("Stop Screen"),
                    "HScroll7", "Text13", 2, 203, QStringLiteral("Stop screen"));
    HScroll5_ = delay.bar;
    Text11_ = delay.box;
    HScroll6_ = start.bar;
    Text12_ = start.box;
    HScroll7_ = stop.bar;
    Text13_ = stop.box;

    Command17_ =
        button(animation, "Command17", QStringLiteral("Run"), QStringLiteral("Run animation"));
    Command20_ =
        button(animation, "Command20", QStringLiteral("Stop"), QStringLiteral("Stop animation"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command17_);
    buttons->addWidget(Command20_);
    animationLayout->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(animation);
    layout->addStretch(1);

    connect(Command17_, &QPushButton::clicked, this, &AnimationPanel::Command17_Click);
    connect(Command20_, &QPushButton::clicked, this, &AnimationPanel::Command20_Click);
}

// No check relates the three values: the board accepts any start and stop screen in range.
void AnimationPanel::Command17_Click() {
    if (!session_.portOpen())
        return;
    session_.send(protocol::runAnimation(protocol::Byte(HScroll5_->value()),
                                         protocol::Byte(HScroll6_->value()),
                                         protocol::Byte(HScroll7_->value())));
}

void AnimationPanel::Command20_Click() {
    if (!session_.portOpen())
        return;
    session_.send(protocol::clearDisplay(kWholeScreen));
}
