#include "panels/display/DisplayPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "panels/display/ShapeWidget.h"
#include "protocol/Messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <iterator>

namespace {

// Display modes of SetDisplayMode. The two diagonals are numbered against their button order.
constexpr protocol::Byte kModeNormal = 0;
constexpr protocol::Byte kModeReverse = 1;
constexpr protocol::Byte kModeTopNormalBottomReverse = 2;
constexpr protocol::Byte kModeTopReverseBottomNormal = 3;
constexpr protocol::Byte kModeRightReverseLeftNormal = 4;
constexpr protocol::Byte kModeDiagonalBackslash = 5;
constexpr protocol::Byte kModeDiagonalSlash = 6;

// ClearDisplay's parameter one above the last page: the whole screen.
constexpr protocol::Byte kWholeScreen = 16;

} // namespace

DisplayPanel::DisplayPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    // Page clear.
    auto* clearGroup = frame(this, "FramePageClear", QString(), QStringLiteral("Page clear"));
    HScroll9_ = scrollBar(clearGroup, "HScroll9", 0, 15, 0, QStringLiteral("Clear page number"));
    Text8_ = displayBox(clearGroup, "Text8", QStringLiteral("0"),
                        QStringLiteral("Clear page number value"));
    mirror(HScroll9_, Text8_);
    Command16_ = button(clearGroup, "Command16", QStringLiteral("Clear Page"));
    auto* clearLayout = new QHBoxLayout(clearGroup);
    clearLayout->addWidget(label(clearGroup, QStringLiteral("Page"), HScroll9_));
    clearLayout->addWidget(HScroll9_, 1);
    clearLayout->addWidget(Text8_);
    clearLayout->addSpacing(6);
    clearLayout->addWidget(Command16_);

    // Display modes: page flip, the Normal/Reverse frame and the Controller frame.
    auto* modeGroup = frame(this, "FrameDisplayMode", QString(), QStringLiteral("Display mode"));
    HScroll8_ = scrollBar(modeGroup, "HScroll8", 0, 15, 0, QStringLiteral("Flip page number"));
    Text1_ = displayBox(modeGroup, "Text1", QStringLiteral("0"),
                        QStringLiteral("Flip page number value"));
    mirror(HScroll8_, Text1_);
    Command21_ = button(modeGroup, "Command21", QStringLiteral("Flip Page"));
    auto* flipLayout = new QHBoxLayout;
    flipLayout->addWidget(label(modeGroup, QStringLiteral("Page"), HScroll8_));
    flipLayout->addWidget(HScroll8_, 1);
    flipLayout->addWidget(Text1_);
    flipLayout->addSpacing(6);
    flipLayout->addWidget(Command21_);

    auto* reverseFrame = frame(modeGroup, "FrameNormalReverse", QStringLiteral("Normal/Reverse"));
    auto* preview = new QWidget(reverseFrame);
    preview->setObjectName(QStringLiteral("Preview"));
    preview->setAccessibleName(QStringLiteral("Display preview"));
    Shape1_ = new ShapeWidget(preview, "Shape1", normalColour());
    Shape2_ = new ShapeWidget(preview, "Shape2", normalColour());
    Shape3_ = new ShapeWidget(preview, "Shape3", normalColour());
    Shape4_ = new ShapeWidget(preview, "Shape4", normalColour());
    auto* previewLayout = new QGridLayout(preview);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->setSpacing(0);
    previewLayout->addWidget(Shape1_, 0, 0);
    previewLayout->addWidget(Shape2_, 0, 1);
    previewLayout->addWidget(Shape3_, 1, 0);
    previewLayout->addWidget(Shape4_, 1, 1);
    setPreview(false, false);

    auto* lcdFrame = frame(reverseFrame, "FrameLCD", QStringLiteral("LCD"));
    cmdLCDON_ = button(lcdFrame, "cmdLCDON", QStringLiteral("ON"), QStringLiteral("LCD ON"));
    cmdLCDOFF_ = button(lcdFrame, "cmdLCDOFF", QStringLiteral("OFF"), QStringLiteral("LCD OFF"));
    auto* lcdLayout = new QHBoxLayout(lcdFrame);
    lcdLayout->addWidget(cmdLCDON_);
    lcdLayout->addWidget(cmdLCDOFF_);

    Command8_ = button(reverseFrame, "Command8", QStringLiteral("Normal"));
    Command9_ = button(reverseFrame, "Command9", QStringLiteral("Reverse"));
    Command10_ = button(reverseFrame, "Command10", QStringLiteral("Top Normal Bottom Reverse"));
    Command11_ = button(reverseFrame, "Command11", QStringLiteral("Top Reverse Bottom Normal"));
    auto* reverseLayout = new QGridLayout(reverseFrame);
    reverseLayout->addWidget(preview, 0, 0, 2, 1, Qt::AlignCenter);
    reverseLayout->addWidget(lcdFrame, 2, 0, 2, 1);
    reverseLayout->addWidget(Command8_, 0, 1);
    reverseLayout->addWidget(Command9_, 1, 1);
    reverseLayout->addWidget(Command10_, 2, 1);
    reverseLayout->addWidget(Command11_, 3, 1);
    reverseLayout->setColumnStretch(1, 1);
    reverseLayout->setHorizontalSpacing(12);

    auto* controllerFrame = frame(modeGroup, "FrameController", QStringLiteral("Controller"));
    Command12_ = button(controllerFrame, "Command12", QStringLiteral("Right Reverse Left Normal"));
    Command13_ = button(controllerFrame, "Command13", QStringLiteral("Diagonal [/]"));
    Command14_ = button(controllerFrame, "Command14", QStringLiteral("Diagonal [\\]"));
    auto* controllerLayout = new QVBoxLayout(controllerFrame);
    controllerLayout->addWidget(Command12_);
    controllerLayout->addWidget(Command13_);
    controllerLayout->addWidget(Command14_);
    controllerLayout->addStretch(1);

    auto* modeLayout = new QGridLayout(modeGroup);
    modeLayout->addLayout(flipLayout, 0, 0, 1, 2);
    modeLayout->addWidget(reverseFrame, 1, 0);
    modeLayout->addWidget(controllerFrame, 1, 1);
    modeLayout->setColumnStretch(0, 3);
    modeLayout->setColumnStretch(1, 2);

    Command15_ = button(this, "Command15", QStringLiteral("Clear Screen"));

    auto* rotationFrame = frame(this, "FrameRotation", QStringLiteral("Rotation"));
    optRotate0_ = option(rotationFrame, "optRotate0", QString::fromUtf8(" 0°"), true,
                         QString::fromUtf8("Rotation 0°"));
    optRotate180_ = option(rotationFrame, "optRotate180", QString::fromUtf8("180°"), false,
                           QString::fromUtf8("Rotation 180°"));
    auto* rotationLayout = new QVBoxLayout(rotationFrame);
    rotationLayout->addWidget(optRotate0_);
    rotationLayout->addWidget(optRotate180_);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(clearGroup, 0, 0);
    layout->addWidget(Command15_, 0, 1, Qt::AlignVCenter);
    layout->addWidget(modeGroup, 1, 0);
    layout->addWidget(rotationFrame, 1, 1, Qt::AlignTop);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(2, 1);
    layout->setHorizontalSpacing(12);

    // Keyboard order follows the page's rows: both clear commands, then the display modes.
    QWidget* const tabOrder[] = {HScroll9_,  Command16_, Command15_,  HScroll8_,
                                 Command21_, Command8_,  Command9_,   Command10_,
                                 Command11_, cmdLCDON_,  cmdLCDOFF_,  Command12_,
                                 Command13_, Command14_, optRotate0_, optRotate180_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(cmdLCDON_, &QPushButton::clicked, this, &DisplayPanel::cmdLCDON_Click);
    connect(cmdLCDOFF_, &QPushButton::clicked, this, &DisplayPanel::cmdLCDOFF_Click);
    connect(Command8_, &QPushButton::clicked, this, &DisplayPanel::Command8_Click);
    connect(Command9_, &QPushButton::clicked, this, &DisplayPanel::Command9_Click);
    connect(Command10_, &QPushButton::clicked, this, &DisplayPanel::Command10_Click);
    connect(Command11_, &QPushButton::clicked, this, &DisplayPanel::Command11_Click);
    connect(Command12_, &QPushButton::clicked, this, &DisplayPanel::Command12_Click);
    connect(Command13_, &QPushButton::clicked, this, &DisplayPanel::Command13_Click);
    connect(Command14_, &QPushButton::clicked, this, &DisplayPanel::Command14_Click);
    connect(Command15_, &QPushButton::clicked, this, &DisplayPanel::Command15_Click);
    connect(Command16_, &QPushButton::clicked, this, &DisplayPanel::Command16_Click);
    connect(Command21_, &QPushButton::clicked, this, &DisplayPanel::Command21_Click);
    // Only the option that becomes selected sends; the one losing the selection stays silent.
    connect(optRotate0_, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected)
            optRotate0_Click();
    });
    connect(optRotate180_, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected)
            optRotate180_Click();
    });
}

void DisplayPanel::send(const QByteArray& message) {
    if (!session_.portOpen())
        return;
    // A failed write closes the port and is reported by the connection panel (portLost).
    session_.send(message);
}

void DisplayPanel::setQuarter(ShapeWidget* shape, const QString& quarter, bool reverse) {
    shape->setColour(reverse ? reverseColour() : normalColour());
    shape->setAccessibleName(quarter);
    shape->setAccessibleDescription(QStringLiteral("%1: %2").arg(
        quarter, reverse ? QStringLiteral("reverse") : QStringLiteral("normal")));
}

void DisplayPanel::setPreview(bool topReverse, bool bottomReverse) {
    setQuarter(Shape1_, QStringLiteral("Top left quarter"), topReverse);
    setQuarter(Shape2_, QStringLiteral("Top right quarter"), topReverse);
    setQuarter(Shape3_, QStringLiteral("Bottom left quarter"), bottomReverse);
    setQuarter(Shape4_, QStringLiteral("Bottom right quarter"), bottomReverse);
}

void DisplayPanel::cmdLCDON_Click() {
    send(protocol::setLcdPower(true));
}

void DisplayPanel::cmdLCDOFF_Click() {
    send(protocol::setLcdPower(false));
}

// The four Normal/Reverse buttons recolour the preview before anything else, also while the
// port is closed.
void DisplayPanel::Command8_Click() {
    setPreview(false, false);
    send(protocol::setDisplayMode(kModeNormal));
}

void DisplayPanel::Command9_Click() {
    setPreview(true, true);
    send(protocol::setDisplayMode(kModeReverse));
}

void DisplayPanel::Command10_Click() {
    setPreview(false, true);
    send(protocol::setDisplayMode(kModeTopNormalBottomReverse));
}

void DisplayPanel::Command11_Click() {
    setPreview(true, false);
    send(protocol::setDisplayMode(kModeTopReverseBottomNormal));
}

void DisplayPanel::Command12_Click() {
    send(protocol::setDisplayMode(kModeRightReverseLeftNormal));
}

void DisplayPanel::Command13_Click() {
    send(protocol::setDisplayMode(kModeDiagonalSlash));
}

void DisplayPanel::Command14_Click() {
    send(protocol::setDisplayMode(kModeDiagonalBackslash));
}

void DisplayPanel::Command15_Click() {
    send(protocol::clearDisplay(kWholeScreen));
}

// The page comes from the scroll bar at the moment of the click, never from the mirror box.
void DisplayPanel::Command16_Click() {
    send(protocol::clearDisplay(protocol::Byte(HScroll9_->value())));
}

void DisplayPanel::Command21_Click() {
    send(protocol::flipPage(protocol::Byte(HScroll8_->value())));
}

void DisplayPanel::optRotate0_Click() {
    send(protocol::setRotation(false));
}

void DisplayPanel::optRotate180_Click() {
    send(protocol::setRotation(true));
}
