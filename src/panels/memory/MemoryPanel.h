#pragma once
// The "Memory" frame of the "Graphic" page: load a stored screen onto the display, or save the
// displayed screen under a number after the user confirms. Screens 1..4 hold the board's fonts
// and stay out of reach until the About box unlocks them.
//
//   name      caption / text        what it sends (hex)
//   HScroll4  "Screen" 5..203       nothing; shown in Text10 (1..203 once unlocked)
//   optLoad   "Load"                nothing; read by "OK"
//   optSave   "Save As"             nothing; read by "OK"
//   cmdOk     "OK"                  "Load": LoadScreen 08 nn; "Save As": after Yes to
//                                   "Confirmation" (screens 1..4: "Warning"), SaveScreen 11 nn

#include <QWidget>

class Dialogs;
namespace engine {
class BoardSession;
}
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

class MemoryPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFirstFreeScreen = 5;
    static constexpr int kFirstFontScreen = 1;
    static constexpr int kLastScreen = 203;

    MemoryPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

public slots:
    // The About box gesture: screens 1..4 become reachable until the program ends.
    void unlockFontScreens();
    // "OK": LoadScreen at once, or SaveScreen after the user says Yes.
    void cmdOk_Click();

private:
    engine::BoardSession& session_;
    Dialogs& dialogs_;

    QScrollBar* HScroll4_;
    QLineEdit* Text10_;
    QRadioButton* optLoad_;
    QRadioButton* optSave_;
    QPushButton* cmdOk_;
};
