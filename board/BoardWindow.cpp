#include "board/BoardWindow.h"

#include "board/LcdView.h"
#include "board/VirtualBoard.h"
#include "display/BoardFonts.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

namespace {

QString modeText(int mode) {
    static const char* const names[protocol::kDisplayModeCount] = {"0 normal",
                                                                   "1 reverse",
                                                                   "2 bottom half reversed",
                                                                   "3 top half reversed",
                                                                   "4 right half reversed",
                                                                   "5 diagonal \\ reversed",
                                                                   "6 diagonal / reversed"};
    return mode >= 0 && mode < protocol::kDisplayModeCount ? QString::fromLatin1(names[mode])
                                                           : QString::number(mode);
}

QString touchText(display::BoardModel::TouchMode mode) {
    switch (mode) {
    case display::BoardModel::TouchMode::Off:
        return QStringLiteral("off");
    case display::BoardModel::TouchMode::Coordinates:
        return QStringLiteral("coordinates");
    case display::BoardModel::TouchMode::Keypad:
        return QStringLiteral("4x4 keypad");
    case display::BoardModel::TouchMode::KeypadFlipped:
        return QStringLiteral("4x4 keypad, flipped");
    }
    return {};
}

} // namespace

BoardWindow::BoardWindow(VirtualBoard& board, int zoom, QWidget* parent)
    : QWidget(parent), board_(board) {
    setObjectName(QStringLiteral("boardWindow"));
    setWindowTitle(QStringLiteral("Vantrel Virtual Board - %1").arg(board.devicePath()));

    lcd_ = new LcdView(board.model(), zoom);
    connect(lcd_, &LcdView::touched, &board_, &VirtualBoard::touch);
    auto* hint = new QLabel(QStringLiteral("Click the screen to touch it."));
    hint->setEnabled(false);

    auto* stateBox = new QGroupBox(QStringLiteral("Board"));
    stateBox->setAccessibleName(stateBox->title());
    auto* form = new QFormLayout(stateBox);
    form->setLabelAlignment(Qt::AlignRight);
    device_ = addField(form, QStringLiteral("Device"), QStringLiteral("device"));
    lineRate_ = addField(form, QStringLiteral("Line"), QStringLiteral("lineRate"));
    boardRate_ = addField(form, QStringLiteral("Board rate"), QStringLiteral("boardRate"));
    lcdPower_ = addField(form, QStringLiteral("LCD"), QStringLiteral("lcdPower"));
    backlight_ = addField(form, QStringLiteral("Backlight"), QStringLiteral("backlight"));
    contrast_ = addField(form, QStringLiteral("Contrast"), QStringLiteral("contrast"));
    mode_ = addField(form, QStringLiteral("Display mode"), QStringLiteral("displayMode"));
    rotation_ = addField(form, QStringLiteral("Rotation"), QStringLiteral("rotation"));
    flip_ = addField(form, QStringLiteral("Flip page"), QStringLiteral("flipPage"));
    font_ = addField(form, QStringLiteral("Font"), QStringLiteral("font"));
    position_ = addField(form, QStringLiteral("Write position"), QStringLiteral("position"));
    touch_ = addField(form, QStringLiteral("Touch"), QStringLiteral("touch"));
    animation_ = addField(form, QStringLiteral("Animation"), QStringLiteral("animation"));

    log_ = new QPlainTextEdit;
    log_->setObjectName(QStringLiteral("commandLog"));
    log_->setAccessibleName(QStringLiteral("Command log"));
    log_->setReadOnly(true);
    log_->setMaximumBlockCount(kLogBlocks);
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);
    log_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    log_->setMinimumHeight(160);
    auto* clear = new QPushButton(QStringLiteral("Clear Log"));
    clear->setObjectName(QStringLiteral("clearLog"));
    connect(clear, &QPushButton::clicked, log_, &QPlainTextEdit::clear);

    auto* logBox = new QGroupBox(QStringLiteral("Commands"));
    logBox->setAccessibleName(logBox->title());
    auto* logLayout = new QVBoxLayout(logBox);
    logLayout->addWidget(log_);
    auto* logButtons = new QHBoxLayout;
    logButtons->addStretch();
    logButtons->addWidget(clear);
    logLayout->addLayout(logButtons);

    auto* left = new QVBoxLayout;
    left->addWidget(lcd_);
    left->addWidget(hint);
    left->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(stateBox, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(logBox, 1);

    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &BoardWindow::refreshNow);
    connect(&board_, &VirtualBoard::changed, this, &BoardWindow::scheduleRefresh);
    connect(&board_, &VirtualBoard::logLine, this, &BoardWindow::addLogLine);
    updateState();
}

QLabel* BoardWindow::addField(QFormLayout* form, const QString& label, const QString& objectName) {
    auto* value = new QLabel;
    value->setObjectName(objectName);
    value->setAccessibleName(label);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(label + QStringLiteral(":"), value);
    return value;
}

void BoardWindow::scheduleRefresh() {
    if (!refresh_.isActive())
        refresh_.start();
}

void BoardWindow::addLogLine(const QString& line) {
    pendingLines_ << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz ")) + line;
    if (pendingLines_.size() > kPendingLines) {
        pendingLines_.removeFirst();
        ++droppedLines_;
    }
    scheduleRefresh();
}

void BoardWindow::refreshNow() {
    refresh_.stop();
    lcd_->refresh();
    updateState();
    if (droppedLines_ > 0) {
        log_->appendPlainText(
            QStringLiteral("... %1 earlier line(s) not shown").arg(droppedLines_));
        droppedLines_ = 0;
    }
    if (!pendingLines_.isEmpty()) {
        log_->appendPlainText(pendingLines_.join(u'\n'));
        pendingLines_.clear();
    }
}

void BoardWindow::updateState() {
    const display::BoardModel& m = board_.model();
    device_->setText(board_.devicePath());
    const int line = board_.terminal().lineBaud();
    lineRate_->setText(line == m.baud()
                           ? QStringLiteral("%1 baud").arg(line)
                           : QStringLiteral("%1 baud - not the board's rate: noise").arg(line));
    boardRate_->setText(QStringLiteral("%1 baud (rate %2)").arg(m.baud()).arg(m.rateIndex()));
    lcdPower_->setText(m.lcdOn() ? QStringLiteral("on") : QStringLiteral("off"));
    backlight_->setText(m.backlightOn() ? QStringLiteral("on") : QStringLiteral("off"));
    contrast_->setText(QString::number(m.contrast()));
    mode_->setText(modeText(m.displayMode()));
    rotation_->setText(m.rotated180() ? QStringLiteral("180\u00b0") : QStringLiteral("0\u00b0"));
    flip_->setText(QString::number(m.flipPage()));
    font_->setText(QStringLiteral("%1 (%2)").arg(m.font()).arg(
        QLatin1String(display::BoardFonts::name(m.font()))));
    position_->setText(QStringLiteral("page %1, column %2").arg(m.page()).arg(m.column()));
    touch_->setText(touchText(m.touchMode()) + (m.customCalibration()
                                                    ? QStringLiteral(", new calibration")
                                                    : QStringLiteral(", default calibration")));
    animation_->setText(m.animationRunning()
                            ? QStringLiteral("screens %1..%2 every %3 ms, showing %4")
                                  .arg(m.animationStart())
                                  .arg(m.animationStop())
                                  .arg(m.animationIntervalMs())
                                  .arg(m.animationScreen())
                            : QStringLiteral("stopped"));
}
