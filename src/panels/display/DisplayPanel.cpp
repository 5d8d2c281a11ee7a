#include "panels/display/DisplayPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "panels/display/ShapeWidget.h"
#include "protocol/CommandCode.h"
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

using protocol::Byte;
using protocol::clearDisplay;
using protocol::flipPage;
using protocol::kWholeScreen;
using protocol::setDisplayMode;

QByteArray lcdPower(Byte on) {
    return protocol::setLcdPower(on != 0);
}
QByteArray rotation(Byte rotated180) {
    return protocol::setRotation(rotated180 != 0);
}

// Parameters taken from a page scroll bar at the moment of the click, never from its mirror box.
constexpr int kPageToClear = -1; // HScroll9
constexpr int kPageToFlip = -2;  // HScroll8

// Every button and rotation option of the page: what it shows and what it sends. `preview` is
// what the click makes of the quarters Shape1..Shape4 (N normal, R reverse; "" leaves them), set
// also while the port is closed. The message is `build(parameter)`, sent only on an open port.
struct DisplayControl {
    const char* objectName;
    const char* preview;
    QByteArray (*build)(Byte);
    int parameter;
    const char* caption;
    const char* accessibleName = ""; // "": the caption
};

// clang-format off
// The two diagonals are numbered against their button order: [/] is mode 6, [\] mode 5.
constexpr DisplayControl kControls[] = {
    // objectName    preview message         parameter     caption, accessible name
    {"cmdLCDON",     "",     lcdPower,       1,            "ON", "LCD ON"},
    {"cmdLCDOFF",    "",     lcdPower,       0,            "OFF", "LCD OFF"},
    {"Command8",     "NNNN", setDisplayMode, 0,            "Normal"},
    {"Command9",     "RRRR", setDisplayMode, 1,            "Reverse"},
    {"Command10",    "NNRR", setDisplayMode, 2,            "Top Normal Bottom Reverse"},
    {"Command11",    "RRNN", setDisplayMode, 3,            "Top Reverse Bottom Normal"},
    {"Command12",    "",     setDisplayMode, 4,            "Right Reverse Left Normal"},
    {"Command13",    "",     setDisplayMode, 6,            "Diagonal [/]"},
    {"Command14",    "",     setDisplayMode, 5,            "Diagonal [\\]"},
    {"Command15",    "",     clearDisplay,   kWholeScreen, "Clear Screen"},
    {"Command16",    "",     clearDisplay,   kPageToClear, "Clear Page"},
    {"Command21",    "",     flipPage,       kPageToFlip,  "Flip Page"},
    {"optRotate0",   "",     rotation,       0,            " 0°", "Rotation 0°"},
    {"optRotate180", "",     rotation,       1,            "180°", "Rotation 180°"},
};
// clang-format on

const DisplayControl* controlNamed(const char* objectName) {
    for (const DisplayControl& c : kControls)
        if (qstrcmp(c.objectName, objectName) == 0)
            return &c;
    return nullptr;
}

} // namespace

DisplayPanel::DisplayPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    // Page clear.
    auto* clearGroup = frame(this, "FramePageClear", QString(), QStringLiteral("Page clear"));
    clearGroup->setLayout(pageRow(clearGroup, "HScroll9", "Text8", "Command16",
                                  QStringLiteral("Clear page number"), HScroll9_, Text8_,
                                  Command16_));

    // Display modes: page flip, the Normal/Reverse frame and the Controller frame.
    auto* modeGroup = frame(this, "FrameDisplayMode", QString(), QStringLiteral("Display mode"));
    QHBoxLayout* flipLayout =
        pageRow(modeGroup, "HScroll8", "Text1", "Command21", QStringLiteral("Flip page number"),
                HScroll8_, Text1_, Command21_);

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
    setPreview("NNNN");

    auto* lcdFrame = frame(reverseFrame, "FrameLCD", QStringLiteral("LCD"));
    cmdLCDON_ = tableButton(lcdFrame, "cmdLCDON");
    cmdLCDOFF_ = tableButton(lcdFrame, "cmdLCDOFF");
    auto* lcdLayout = new QHBoxLayout(lcdFrame);
    lcdLayout->addWidget(cmdLCDON_);
    lcdLayout->addWidget(cmdLCDOFF_);

    Command8_ = tableButton(reverseFrame, "Command8");
    Command9_ = tableButton(reverseFrame, "Command9");
    Command10_ = tableButton(reverseFrame, "Command10");
    Command11_ = tableButton(reverseFrame, "Command11");
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
    Command12_ = tableButton(controllerFrame, "Command12");
    Command13_ = tableButton(controllerFrame, "Command13");
    Command14_ = tableButton(controllerFrame, "Command14");
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

    Command15_ = tableButton(this, "Command15");

    auto* rotationFrame = frame(this, "FrameRotation", QStringLiteral("Rotation"));
    optRotate0_ = tableOption(rotationFrame, "optRotate0", true);
    optRotate180_ = tableOption(rotationFrame, "optRotate180", false);
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

QHBoxLayout* DisplayPanel::pageRow(QWidget* parent, const char* scrollName, const char* boxName,
                                   const char* buttonName, const QString& accessibleName,
                                   QScrollBar*& scroll, QLineEdit*& box, QPushButton*& button) {
    using namespace widgets;
    scroll = scrollBar(parent, scrollName, 0, protocol::kPages - 1, 0, accessibleName);
    box =
        displayBox(parent, boxName, QStringLiteral("0"), accessibleName + QStringLiteral(" value"));
    mirror(scroll, box);
    button = tableButton(parent, buttonName);
    auto* row = new QHBoxLayout;
    row->addWidget(label(parent, QStringLiteral("Page"), scroll));
    row->addWidget(scroll, 1);
    row->addWidget(box);
    row->addSpacing(6);
    row->addWidget(button);
    return row;
}

QPushButton* DisplayPanel::tableButton(QWidget* parent, const char* objectName) {
    const DisplayControl* c = controlNamed(objectName);
    Q_ASSERT(c);
    return widgets::button(parent, objectName, QString::fromUtf8(c->caption),
                           QString::fromUtf8(c->accessibleName));
}

QRadioButton* DisplayPanel::tableOption(QWidget* parent, const char* objectName, bool selected) {
    const DisplayControl* c = controlNamed(objectName);
    Q_ASSERT(c);
    return widgets::option(parent, objectName, QString::fromUtf8(c->caption), selected,
                           QString::fromUtf8(c->accessibleName));
}

void DisplayPanel::setQuarter(ShapeWidget* shape, const QString& quarter, bool reverse) {
    shape->setColour(reverse ? reverseColour() : normalColour());
    shape->setAccessibleName(quarter);
    shape->setAccessibleDescription(QStringLiteral("%1: %2").arg(
        quarter, reverse ? QStringLiteral("reverse") : QStringLiteral("normal")));
}

void DisplayPanel::setPreview(const char* quarters) {
    setQuarter(Shape1_, QStringLiteral("Top left quarter"), quarters[0] == 'R');
    setQuarter(Shape2_, QStringLiteral("Top right quarter"), quarters[1] == 'R');
    setQuarter(Shape3_, QStringLiteral("Bottom left quarter"), quarters[2] == 'R');
    setQuarter(Shape4_, QStringLiteral("Bottom right quarter"), quarters[3] == 'R');
}

void DisplayPanel::press(const char* objectName) {
    const DisplayControl* c = controlNamed(objectName);
    Q_ASSERT(c);
    if (!c)
        return;
    if (*c->preview)
        setPreview(c->preview);
    if (!session_.portOpen())
        return;
    const int parameter = c->parameter == kPageToClear  ? HScroll9_->value()
                          : c->parameter == kPageToFlip ? HScroll8_->value()
                                                        : c->parameter;
    // A failed write closes the port and is reported by the connection panel (portLost).
    session_.send(c->build(Byte(parameter)));
}

void DisplayPanel::cmdLCDON_Click() {
    press("cmdLCDON");
}
void DisplayPanel::cmdLCDOFF_Click() {
    press("cmdLCDOFF");
}
void DisplayPanel::Command8_Click() {
    press("Command8");
}
void DisplayPanel::Command9_Click() {
    press("Command9");
}
void DisplayPanel::Command10_Click() {
    press("Command10");
}
void DisplayPanel::Command11_Click() {
    press("Command11");
}
void DisplayPanel::Command12_Click() {
    press("Command12");
}
void DisplayPanel::Command13_Click() {
    press("Command13");
}
void DisplayPanel::Command14_Click() {
    press("Command14");
}
void DisplayPanel::Command15_Click() {
    press("Command15");
}
void DisplayPanel::Command16_Click() {
    press("Command16");
}
void DisplayPanel::Command21_Click() {
    press("Command21");
}
void DisplayPanel::optRotate0_Click() {
    press("optRotate0");
}
void DisplayPanel::optRotate180_Click() {
    press("optRotate180");
}
