#include "panels/text/StartPositionPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "protocol/Messages.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace {

constexpr int kLastPage = 15;
constexpr int kLastColumn = 159;

} // namespace

StartPositionPanel::StartPositionPanel(engine::BoardSession& session, Dialogs& dialogs,
                                       QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    auto* start = frame(this, "FrameStart", QStringLiteral("Start"));
    HScroll2_ = scrollBar(start, "HScroll2", 0, kLastPage, 0, QStringLiteral("Page"));
    Text7_ = displayBox(start, "Text7", QStringLiteral("0"), QStringLiteral("Page value"));
    Command7_ = button(start, "Command7", QStringLiteral("OK"), QStringLiteral("Set start page"));
    HScroll3_ = scrollBar(start, "HScroll3", 0, kLastColumn, 0, QStringLiteral("Column"));
    Text6_ = displayBox(start, "Text6", QStringLiteral("0"), QStringLiteral("Column value"));
    Command6_ = button(start, "Command6", QStringLiteral("OK"), QStringLiteral("Set start column"));
    mirror(HScroll2_, Text7_);
    mirror(HScroll3_, Text6_);

    auto* grid = new QGridLayout(start);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    grid->addWidget(label(start, QStringLiteral("&Page"), HScroll2_), 0, 0);
    grid->addWidget(HScroll2_, 0, 1);
    grid->addWidget(Text7_, 0, 2);
    grid->addWidget(Command7_, 0, 3);
    grid->addWidget(label(start, QStringLiteral("Co&lumn"), HScroll3_), 1, 0);
    grid->addWidget(HScroll3_, 1, 1);
    grid->addWidget(Text6_, 1, 2);
    grid->addWidget(Command6_, 1, 3);
    grid->setColumnStretch(1, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(start);

    connect(Command7_, &QPushButton::clicked, this, &StartPositionPanel::Command7_Click);
    connect(Command6_, &QPushButton::clicked, this, &StartPositionPanel::Command6_Click);
}

void StartPositionPanel::Command7_Click() {
    if (!session_.portOpen())
        return;
    session_.send(protocol::setPage(static_cast<protocol::Byte>(HScroll2_->value())));
}

void StartPositionPanel::Command6_Click() {
    if (!session_.portOpen())
        return;
    session_.send(protocol::setColumn(static_cast<protocol::Byte>(HScroll3_->value())));
}
