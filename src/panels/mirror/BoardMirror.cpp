#include "panels/mirror/BoardMirror.h"

#include "display/Glass.h"
#include "engine/BoardSession.h"
#include "engine/FileSaver.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "picture/BitmapWriter.h"
#include "picture/GlassImage.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Board Mirror");

const char* const kModeNames[protocol::kDisplayModeCount] = {
    "normal display",
    "reversed display",
    "bottom half reversed",
    "top half reversed",
    "right half reversed",
    "top left and bottom right reversed",
    "top right and bottom left reversed"};

PageBytes pageBytesOf(const display::Memory& memory) {
    PageBytes pages;
    for (int page = 0; page < protocol::kPages; ++page)
        for (int column = 0; column < protocol::kColumns; ++column)
            pages.set(page, column, memory[display::byteIndex(page, column)]);
    return pages;
}

} // namespace

BoardMirror::BoardMirror(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs) {
    widgets::readAsWindow(this);
    setObjectName(QStringLiteral("frmBoardMirror"));
    setWindowTitle(kTitle + QStringLiteral(" (as sent)"));
    setAccessibleName(kTitle);

    captionLabel_ = new QLabel(
        QStringLiteral("Shows what was sent, not what the board reports: the screen the board "
                       "should now show, worked out from the bytes sent to it since Connect."),
        this);
    captionLabel_->setObjectName(QStringLiteral("captionLabel"));
    captionLabel_->setWordWrap(true);

    screenView_ = new QLabel(this);
    screenView_->setObjectName(QStringLiteral("screenView"));
    screenView_->setAccessibleName(QStringLiteral("Screen as sent"));
    screenView_->setFixedSize(protocol::kColumns * kScale, protocol::kRows * kScale);

    settingsLabel_ = new QLabel(this);
    settingsLabel_->setObjectName(QStringLiteral("settingsLabel"));
    settingsLabel_->setWordWrap(true);
    settingsLabel_->setAccessibleDescription(QStringLiteral("Display settings as sent"));

    saveScreenButton_ = widgets::button(this, "saveScreenButton",
                                        QStringLiteral("&Save Screen As..."));
    saveScreenButton_->setToolTip(QStringLiteral(
        "Save the screen as PNG (as shown here) or as a one-bit bitmap of the display memory"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveScreenButton_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(captionLabel_);
    layout->addWidget(screenView_, 0, Qt::AlignHCenter);
    layout->addWidget(settingsLabel_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    captionLabel_->setFixedWidth(screenView_->width() + 40);
    settingsLabel_->setFixedWidth(screenView_->width() + 40);

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setObjectName(QStringLiteral("mirrorRefreshTimer"));
    refreshTimer_->setInterval(kRefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, &BoardMirror::refresh);
    connect(saveScreenButton_, &QPushButton::clicked, this, &BoardMirror::saveScreen);
    connect(&session, &engine::BoardSession::traffic, &screen_, &SentScreen::record);
    connect(&session, &engine::BoardSession::stateChanged, &screen_, &SentScreen::followState);
    connect(&session, &engine::BoardSession::openFailed, &screen_, &SentScreen::openFailed);
    refresh();
}

QImage BoardMirror::screenImage() const {
    const display::BoardModel& model = screen_.model();
    return glassImage(display::glassOf(model), boardColours(model), kScale);
}

QString BoardMirror::settingsText(int litPixels) const {
    const display::BoardModel& m = screen_.model();
    const int mode = m.displayMode();
    return QStringLiteral("LCD %1, %2, %3, page flip %4, backlight %5, contrast %6; %7 pixels lit.")
        .arg(m.lcdOn() ? u"on" : u"off")
        .arg(QLatin1String(mode >= 0 && mode < protocol::kDisplayModeCount ? kModeNames[mode]
                                                                           : "?"))
        .arg(m.rotated180() ? u"rotated 180 degrees" : u"not rotated")
        .arg(m.flipPage())
        .arg(m.backlightOn() ? u"on" : u"off")
        .arg(m.contrast())
        .arg(litPixels);
}

void BoardMirror::refresh() {
    if (screen_.revision() == shownRevision_)
        return;
    shownRevision_ = screen_.revision();
    const display::BoardModel& model = screen_.model();
    const display::Glass glass = display::glassOf(model);
    screenView_->setPixmap(QPixmap::fromImage(glassImage(glass, boardColours(model), kScale)));
    const QString settings = settingsText(glass.litCount());
    settingsLabel_->setText(settings);
    screenView_->setAccessibleDescription(settings);
}

QByteArray BoardMirror::fileBytes(const QString& fileName) const {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"bmp")
        return BitmapWriter::write(pageBytesOf(screen_.model().memory()));
    if (suffix != u"png")
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    screenImage().save(&buffer, "PNG");
    return bytes;
}

void BoardMirror::saveScreen() {
    const QString fileName = dialogs_.saveFileName(
        this, QStringLiteral("PNG image (*.png);;One-bit bitmap of the display memory (*.bmp)"));
    if (fileName.isEmpty())
        return;
    const QByteArray bytes = fileBytes(fileName);
    const QString why = bytes.isEmpty()
                            ? QStringLiteral("its name ends neither in .png nor in .bmp")
                            : engine::FileSaver::save(fileName, bytes);
    if (!why.isEmpty())
        dialogs_.message(this,
                         QStringLiteral("The file %1 could not be written: %2.")
                             .arg(QDir::toNativeSeparators(fileName), why),
                         MessageStyle::CriticalOk, QStringLiteral("Error"));
}

void BoardMirror::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    refreshTimer_->start();
    emit shownChanged(true);
}

void BoardMirror::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    refreshTimer_->stop();
    emit shownChanged(false);
}
