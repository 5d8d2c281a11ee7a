#include "panels/memory/MemoryPanel.h"

#include "engine/BoardSession.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "protocol/Messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

MemoryPanel::MemoryPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    auto* memory = frame(this, "FrameMemory", QStringLiteral("Memory"));
    HScroll4_ = scrollBar(memory, "HScroll4", kFirstFreeScreen, kLastScreen, kFirstFreeScreen,
                          QStringLiteral("Screen number"));
    Text10_ = displayBox(memory, "Text10", QString::number(kFirstFreeScreen),
                         QStringLiteral("Screen number value"));
    mirror(HScroll4_, Text10_);
    optLoad_ = option(memory, "optLoad", QStringLiteral("Load"), true);
    optLoad_->setToolTip(QStringLiteral("Load from the memory"));
    optSave_ = option(memory, "optSave", QStringLiteral("Save As"));
    optSave_->setToolTip(QStringLiteral("Save to the memory"));
    cmdOk_ = button(memory, "cmdOk", QStringLiteral("OK"), QStringLiteral("Load or save screen"));

    auto* grid = new QGridLayout(memory);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    grid->addWidget(label(memory, QStringLiteral("&Screen"), HScroll4_), 0, 0);
    grid->addWidget(HScroll4_, 0, 1, 1, 2);
    grid->addWidget(Text10_, 0, 3);
    auto* options = new QHBoxLayout;
    options->setSpacing(16);
    options->addWidget(optLoad_);
    options->addWidget(optSave_);
    options->addStretch(1);
    grid->addLayout(options, 1, 0, 1, 3);
    grid->addWidget(cmdOk_, 1, 3);
    grid->setColumnStretch(1, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memory);

    connect(cmdOk_, &QPushButton::clicked, this, &MemoryPanel::cmdOk_Click);
}

void MemoryPanel::unlockFontScreens() {
    // Each gesture selects screen 1 again; the range stays widened until the program ends.
    HScroll4_->setMinimum(kFirstFontScreen);
    HScroll4_->setValue(kFirstFontScreen);
    Text10_->setText(QString::number(kFirstFontScreen));
}

void MemoryPanel::cmdOk_Click() {
    if (!session_.portOpen())
        return;
    const int n = HScroll4_->value();
    const auto screen = static_cast<protocol::Byte>(n);

    if (optSave_->isChecked()) {
        const bool fontScreen = n < kFirstFreeScreen;
        const QString text =
            fontScreen ? QStringLiteral("Screens 1-4 are used for fonts storage. Are you sure you "
                                        "want to replace screen # %1? ")
                             .arg(n)
                       : QStringLiteral("Are you sure you want to save to screen # %1? ").arg(n);
        const Answer answer = dialogs_.message(
            this, text, fontScreen ? MessageStyle::ExclamationYesNo : MessageStyle::QuestionYesNo,
            fontScreen ? QStringLiteral("Warning") : QStringLiteral("Confirmation"));
        // The port may have been lost while the question was open.
        if (answer == Answer::Yes && session_.portOpen())
            session_.send(protocol::saveScreen(screen));
        return;
    }
    if (optLoad_->isChecked())
        session_.send(protocol::loadScreen(screen));
}
