#pragma once
// frmMain: menus, the nested tab pages that hold the panels, and the status bar. The window only
// composes; each panel builds its own controls and owns their handlers. Nothing here sends.
//
//   name           caption / text                        what it does
//   SSTab1         "Settings", "Modes", "Utilities"      the top tab set
//   SSTab2         "Text", "Graphic", "Coordinates"      the tabs of "Modes"
//   SSTab4         "Touch Screen/Animation", "Display"   the tabs of "Utilities"
//   mnuFile        "File"                                -
//   mnuBlanck      (separator)                           -
//   mnuExit        "Exit"                                closes the window: the port released,
//                                                        nothing sent, no question asked
//   mnuView        "View"                                -
//   mnuTrafficMonitor "Traffic Monitor"                  opens or closes the traffic monitor
//   mnuBoardMirror "Board Mirror"                        opens or closes the board mirror
//                                                        (frmBoardMirror)
//   mnuHelp        "Help"                                -
//   mnuAbout       "About Vantrel"                       shows the About box (frmAbout)
//   StatusPanel1   "Controller Disconnected " ...        the connection's state
//   StatusPanel2   (empty)                               -
//   StatusPanel3   time of day                           updated every second
//   Line2, Line4   (separators)                          -
//   Form_Load      (start)                               lists the ports, selects 9600
//   Form_Unload    (end)                                 stops the timers, releases the port

#include "serial/PortMap.h"

#include <QMainWindow>
#include <QPointer>

class AboutBox;
class AnimationPanel;
class BoardMirror;
class ConnectionPanel;
class ContrastPanel;
class Dialogs;
class DisplayPanel;
class DrawingPanel;
class MemoryPanel;
class PatternPanel;
class PicturePanel;
class SerialPort;
namespace engine {
class BoardSession;
}
class StartPositionPanel;
class TextPanel;
class TouchPanel;
class TrafficMonitor;
class QAction;
class QLabel;
class QTabWidget;
class QTimer;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(SerialPort& port, Dialogs& dialogs, PortMap portMap, QWidget* parent = nullptr);
    ~MainWindow() override;

    ConnectionPanel* connectionPanel() const { return connection_; }
    engine::BoardSession& session() const { return *session_; }
    AboutBox* aboutBox() const;
    TrafficMonitor* trafficMonitor() const { return monitor_; }
    BoardMirror* boardMirror() const { return mirror_; }

public slots:
    void mnuExit_Click();
    void mnuAbout_Click();
    // View > Traffic Monitor: opens the monitor when `open`, else closes it.
    void mnuTrafficMonitor_Click(bool open);
    // View > Board Mirror: opens the mirror when `open`, else closes it.
    void mnuBoardMirror_Click(bool open);
    void setStatusText(const QString& text);
    // Shows the Graphic page and opens the picture there, as its "Open" button would.
    void openPicture(const QString& fileName);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    QWidget* buildSettingsPage();
    QWidget* buildModesPage();
    QWidget* buildUtilitiesPage();
    void buildMenus();
    void buildStatusBar();

    SerialPort& port_;
    engine::BoardSession* session_;
    Dialogs& dialogs_;
    ConnectionPanel* connection_ = nullptr;
    ContrastPanel* contrast_ = nullptr;
    TextPanel* text_ = nullptr;
    StartPositionPanel* startPosition_ = nullptr;
    PatternPanel* pattern_ = nullptr;
    PicturePanel* picture_ = nullptr;
    MemoryPanel* memory_ = nullptr;
    DrawingPanel* drawing_ = nullptr;
    AnimationPanel* animation_ = nullptr;
    TouchPanel* touch_ = nullptr;
    DisplayPanel* display_ = nullptr;
    QLabel* statusPanel1_ = nullptr;
    QLabel* statusPanel3_ = nullptr;
    QTimer* clock_ = nullptr;
    QPointer<AboutBox> about_;
    TrafficMonitor* monitor_ = nullptr;
    QAction* mnuTrafficMonitor_ = nullptr;
    BoardMirror* mirror_ = nullptr;
    QAction* mnuBoardMirror_ = nullptr;
    bool unloaded_ = false;
};
