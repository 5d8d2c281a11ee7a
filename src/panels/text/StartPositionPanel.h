#pragma once
// The "Start" frame of the "Text" page: where on the display the typed text begins. Page and
// column each have a scroll bar, a box showing its value and an "OK" that sends that one
// coordinate. Moving a scroll bar sends nothing.
//
//   name      caption / text           what it sends (hex)
//   HScroll2  "Page" 0..15             nothing; shown in Text7
//   Command7  "OK" (beside "Page")     SetPage 06 pp (pp: HScroll2)
//   HScroll3  "Column" 0..159          nothing; shown in Text6
//   Command6  "OK" (beside "Column")   SetColumn 12 cc (cc: HScroll3)

#include <QWidget>

class Dialogs;
namespace engine {
class BoardSession;
}
class QLineEdit;
class QPushButton;
class QScrollBar;

class StartPositionPanel : public QWidget {
    Q_OBJECT
public:
    StartPositionPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

public slots:
    // "OK" beside "Page": SetPage with the value of HScroll2.
    void Command7_Click();
    // "OK" beside "Column": SetColumn with the value of HScroll3.
    void Command6_Click();

private:
    engine::BoardSession& session_;
    Dialogs& dialogs_;

    QScrollBar* HScroll2_;
    QLineEdit* Text7_;
    QPushButton* Command7_;
    QScrollBar* HScroll3_;
    QLineEdit* Text6_;
    QPushButton* Command6_;
};
