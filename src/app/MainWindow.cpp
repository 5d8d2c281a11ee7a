#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "engine/BoardSession.h"
#include "panels/animation/AnimationPanel.h"
#include "panels/connection/ConnectionPanel.h"
#include "panels/display/ContrastPanel.h"
#include "panels/display/DisplayPanel.h"
#include "panels/drawing/DrawingPanel.h"
#include "panels/memory/MemoryPanel.h"
#include "panels/mirror/BoardMirror.h"
#include "panels/monitor/TrafficMonitor.h"
#include "panels/picture/PicturePanel.h"
#include "panels/text/PatternPanel.h"
#include "panels/text/StartPositionPanel.h"
#include "panels/text/TextPanel.h"
#include "panels/touch/TouchPanel.h"
#include "serial/SerialPort.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QTabWidget* tabSet(QWidget* parent, const char* name) {
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName(QString::fromLatin1(name));
    tabs->setDocumentMode(false);
    return tabs;
}

QWidget* page(const char* name) {
    auto* w = new QWidget;
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QFrame* separator(QWidget* parent, const char* name) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

MainWindow::MainWindow(SerialPort& port, Dialogs& dialogs, PortMap portMap, QWidget* parent)
    : QMainWindow(parent), port_(port), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral(" Vantrel"));
    port_.setObjectName(QStringLiteral("MSserial"));
    // The window owns the session, and with it the connection's timers, for its whole life.
    session_ = new engine::BoardSession(port_, this);
    engine::BoardSession& session = *session_;
    // The monitor records from the start, open or not.
    monitor_ = new TrafficMonitor(dialogs, this);
    connect(session_, &engine::BoardSession::traffic, monitor_, &TrafficMonitor::record);
    // The mirror, too, follows every write from the start, so that it is right when opened.
    mirror_ = new BoardMirror(session, dialogs, this);

    connection_ = new ConnectionPanel(session, dialogs, std::move(portMap));
    contrast_ = new ContrastPanel(session, dialogs);
    text_ = new TextPanel(session, dialogs);
    startPosition_ = new StartPositionPanel(session, dialogs);
    pattern_ = new PatternPanel(session, dialogs);
    picture_ = new PicturePanel(session, dialogs);
    memory_ = new MemoryPanel(session, dialogs);
    drawing_ = new DrawingPanel(session, dialogs);
    animation_ = new AnimationPanel(session, dialogs);
    touch_ = new TouchPanel(session, dialogs);
    display_ = new DisplayPanel(session, dialogs);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->addWidget(separator(central, "Line2"));
    layout->addWidget(separator(central, "Line4"));
    auto* SSTab1 = tabSet(central, "SSTab1");
    SSTab1->addTab(buildSettingsPage(), QStringLiteral("Settings"));
    SSTab1->addTab(buildModesPage(), QStringLiteral("Modes"));
    SSTab1->addTab(buildUtilitiesPage(), QStringLiteral("Utilities"));
    layout->addWidget(SSTab1, 1);
    setCentralWidget(central);

    buildMenus();
    buildStatusBar();

    connect(connection_, &ConnectionPanel::statusTextChanged, this, &MainWindow::setStatusText);
    connect(session_, &engine::BoardSession::contrastReported, contrast_,
            &ContrastPanel::takeOverContrast);
    connect(connection_, &ConnectionPanel::replyShown, touch_, &TouchPanel::showResponse);
    connect(picture_, &PicturePanel::responseCleared, connection_, &ConnectionPanel::clearResponse);

    Form_Load();
}

MainWindow::~MainWindow() {
    Form_Unload();
    // The panels refer to the session: they go first.
    delete takeCentralWidget();
}

void MainWindow::openPicture(const QString& fileName) {
    findChild<QTabWidget*>(QStringLiteral("SSTab1"))
        ->setCurrentWidget(findChild<QWidget*>(QStringLiteral("PageModes")));
    findChild<QTabWidget*>(QStringLiteral("SSTab2"))
        ->setCurrentWidget(findChild<QWidget*>(QStringLiteral("PageGraphic")));
    picture_->openPicture(fileName);
}

AboutBox* MainWindow::aboutBox() const {
    return about_.data();
}

QWidget* MainWindow::buildSettingsPage() {
    QWidget* settings = page("PageSettings");
    auto* layout = new QVBoxLayout(settings);
    layout->addWidget(connection_);
    layout->addWidget(contrast_);
    layout->addStretch(1);
    return settings;
}

QWidget* MainWindow::buildModesPage() {
    QWidget* modes = page("PageModes");
    auto* SSTab2 = tabSet(modes, "SSTab2");

    QWidget* textPage = page("PageText");
    auto* textLayout = new QHBoxLayout(textPage);
    textLayout->addWidget(text_, 2);
    textLayout->addWidget(startPosition_, 1, Qt::AlignTop);
    SSTab2->addTab(textPage, QStringLiteral("Text"));

    QWidget* graphicPage = page("PageGraphic");
    auto* graphicLayout = new QGridLayout(graphicPage);
    graphicLayout->addWidget(pattern_, 0, 0);
    graphicLayout->addWidget(memory_, 1, 0);
    graphicLayout->addWidget(picture_, 0, 1, 2, 1);
    graphicLayout->setColumnStretch(0, 1);
    graphicLayout->setColumnStretch(1, 2);
    SSTab2->addTab(graphicPage, QStringLiteral("Graphic"));

    QWidget* coordinatesPage = page("PageCoordinates");
    auto* coordinatesLayout = new QVBoxLayout(coordinatesPage);
    coordinatesLayout->setContentsMargins(0, 0, 0, 0);
    coordinatesLayout->addWidget(drawing_);
    SSTab2->addTab(coordinatesPage, QStringLiteral("Coordinates"));

    auto* layout = new QVBoxLayout(modes);
    layout->addWidget(SSTab2);
    return modes;
}

QWidget* MainWindow::buildUtilitiesPage() {
    QWidget* utilities = page("PageUtilities");
    auto* SSTab4 = tabSet(utilities, "SSTab4");

    QWidget* touchPage = page("PageTouchAnimation");
    auto* touchLayout = new QHBoxLayout(touchPage);
    touchLayout->addWidget(animation_, 1);
    touchLayout->addWidget(touch_, 1);
    SSTab4->addTab(touchPage, QStringLiteral("Touch Screen/Animation"));

    QWidget* displayPage = page("PageDisplay");
    auto* displayLayout = new QVBoxLayout(displayPage);
    displayLayout->addWidget(display_);
    SSTab4->addTab(displayPage, QStringLiteral("Display"));

    auto* layout = new QVBoxLayout(utilities);
    layout->addWidget(SSTab4);
    return utilities;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* blank = file->addSeparator();
    blank->setObjectName(QStringLiteral("mnuBlanck"));
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this, &MainWindow::mnuExit_Click);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    mnuTrafficMonitor_ = view->addAction(QStringLiteral("&Traffic Monitor"));
    mnuTrafficMonitor_->setObjectName(QStringLiteral("mnuTrafficMonitor"));
    mnuTrafficMonitor_->setCheckable(true);
    mnuTrafficMonitor_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    // The same keys close the monitor from its own window.
    monitor_->addAction(mnuTrafficMonitor_);
    connect(mnuTrafficMonitor_, &QAction::toggled, this, &MainWindow::mnuTrafficMonitor_Click);
    connect(monitor_, &TrafficMonitor::shownChanged, mnuTrafficMonitor_, &QAction::setChecked);
    mnuBoardMirror_ = view->addAction(QStringLiteral("Board &Mirror"));
    mnuBoardMirror_->setObjectName(QStringLiteral("mnuBoardMirror"));
    mnuBoardMirror_->setCheckable(true);
    connect(mnuBoardMirror_, &QAction::toggled, this, &MainWindow::mnuBoardMirror_Click);
    connect(mirror_, &BoardMirror::shownChanged, mnuBoardMirror_, &QAction::setChecked);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* about = help->addAction(QStringLiteral("&About Vantrel"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this, &MainWindow::mnuAbout_Click);
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    statusPanel1_ = new QLabel(QStringLiteral("Controller Disconnected "), bar);
    statusPanel1_->setObjectName(QStringLiteral("StatusPanel1"));
    // A screen reader reads a label's text only while it has no accessible name of its own, and
    // the text is what matters here; what the panel is for goes into the description.
    statusPanel1_->setAccessibleDescription(QStringLiteral("Connection state"));
    auto* panel2 = new QLabel(bar);
    panel2->setObjectName(QStringLiteral("StatusPanel2"));
    statusPanel3_ = new QLabel(bar);
    statusPanel3_->setObjectName(QStringLiteral("StatusPanel3"));
    statusPanel3_->setAccessibleDescription(QStringLiteral("Time of day"));
    bar->addWidget(statusPanel1_, 3);
    bar->addWidget(panel2, 1);
    bar->addPermanentWidget(statusPanel3_);

    clock_ = new QTimer(this);
    clock_->setObjectName(QStringLiteral("StatusClock"));
    auto showTime = [this] {
        statusPanel3_->setText(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat));
    };
    connect(clock_, &QTimer::timeout, this, showTime);
    showTime();
    clock_->start(1000);
}

void MainWindow::Form_Load() {
    connection_->fillLists();
}

void MainWindow::setStatusText(const QString& text) {
    statusPanel1_->setText(text);
}

void MainWindow::mnuExit_Click() {
    close();
}

void MainWindow::mnuAbout_Click() {
    if (!about_) {
        about_ = new AboutBox(this);
        about_->setAttribute(Qt::WA_DeleteOnClose);
        connect(about_, &AboutBox::fontScreensUnlocked, memory_, &MemoryPanel::unlockFontScreens);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::mnuTrafficMonitor_Click(bool open) {
    if (!open) {
        monitor_->close();
        return;
    }
    monitor_->show();
    monitor_->raise();
    monitor_->activateWindow();
}

void MainWindow::mnuBoardMirror_Click(bool open) {
    if (!open) {
        mirror_->close();
        return;
    }
    mirror_->show();
    mirror_->raise();
    mirror_->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void MainWindow::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    if (clock_)
        clock_->stop();
    if (about_)
        about_->close();
    monitor_->close();
    mirror_->close();
    connection_->shutDown();
    if (port_.portOpen())
        port_.closePort();
}
