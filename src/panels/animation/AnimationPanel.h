#pragma once
// The "Animation" frame: the board plays its stored screens from a start to a stop screen with a
// delay between them. "Run" sends the three scroll bars' values, "Stop" clears the whole screen,
// which ends the show. The animation runs in the board; the panel remembers nothing.
//
//   name       caption / text              what it sends (hex)
//   HScroll5   "Delay" 3..100              nothing; shown in Text11
//   HScroll6   "Start Screen" 1..202       nothing; shown in Text12
//   HScroll7   "Stop Screen" 2..203        nothing; shown in Text13
//   Command17  "Run"                       RunAnimation 1B dd ss tt (HScroll5, 6, 7)
//   Command20  "Stop"                      ClearDisplay 01 10 (the whole screen)

#include <QWidget>

class Dialogs;
namespace engine {
class BoardSession;
}
class QLineEdit;
class QPushButton;
class QScrollBar;

class AnimationPanel : public QWidget {
    Q_OBJECT
public:
    AnimationPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

public slots:
    void Command17_Click();
    void Command20_Click();

private:
    engine::BoardSession& session_;
    Dialogs& dialogs_;

    QScrollBar* HScroll5_;
    QLineEdit* Text11_;
    QScrollBar* HScroll6_;
    QLineEdit* Text12_;
    QScrollBar* HScroll7_;
    QLineEdit* Text13_;
    QPushButton* Command17_;
    QPushButton* Command20_;
};
