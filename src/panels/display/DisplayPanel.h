#pragma once
// The "Display" page of the Utilities tab set: LCD power, whole and split reverse modes, page and
// screen clearing, page flipping and rotation. Every button and rotation option sends one
// two-byte message, as the table in DisplayPanel.cpp says; the scroll bars only choose a page.
// The preview pictures the display's quarters as the last Normal/Reverse button left them (it is
// never read from the board).
//
//   name          caption                       what it sends (hex)     preview after
//   cmdLCDON      "ON" (frame "LCD")            SetLcdPower 0D 01
//   cmdLCDOFF     "OFF"                         SetLcdPower 0D 00
//   Command8      "Normal"                      SetDisplayMode 0B 00    all normal
//   Command9      "Reverse"                     SetDisplayMode 0B 01    all reverse
//   Command10     "Top Normal Bottom Reverse"   SetDisplayMode 0B 02    bottom half reverse
//   Command11     "Top Reverse Bottom Normal"   SetDisplayMode 0B 03    top half reverse
//   Command12     "Right Reverse Left Normal"   SetDisplayMode 0B 04
//   Command13     "Diagonal [/]"                SetDisplayMode 0B 06
//   Command14     "Diagonal [\]"                SetDisplayMode 0B 05
//   Command15     "Clear Screen"                ClearDisplay 01 10 (16: the whole screen)
//   HScroll9      page 0..15, shown in Text8    nothing; the page "Clear Page" clears
//   Command16     "Clear Page"                  ClearDisplay 01 pp (pp: HScroll9)
//   HScroll8      page 0..15, shown in Text1    nothing; the page "Flip Page" shows
//   Command21     "Flip Page"                   FlipPage 1D pp (pp: HScroll8)
//   optRotate0    " 0°" (frame "Rotation")      SetRotation 27 00 when it becomes selected
//   optRotate180  "180°"                        SetRotation 27 01 when it becomes selected
//   Shape1..4     the preview quarters          top left, top right, bottom left, bottom right;
//                                               blue normal, pale cyan reverse

#include <QColor>
#include <QWidget>

class Dialogs;
namespace engine {
class BoardSession;
}
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class ShapeWidget;

class DisplayPanel : public QWidget {
    Q_OBJECT
public:
    DisplayPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

    // Preview colours of a quarter: normal blue, reverse pale cyan.
    static QColor normalColour() { return QColor(0, 0, 255); }
    static QColor reverseColour() { return QColor(192, 255, 255); }

public slots:
    void cmdLCDON_Click();
    void cmdLCDOFF_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();
    void Command15_Click();
    void Command16_Click();
    void Command21_Click();
    // Run when the option becomes selected.
    void optRotate0_Click();
    void optRotate180_Click();

private:
    // One row of a page command: "Page", a scroll bar of the pages mirrored in a box, and the
    // table's button that uses the page. The caller places the row.
    QHBoxLayout* pageRow(QWidget* parent, const char* scrollName, const char* boxName,
                         const char* buttonName, const QString& accessibleName, QScrollBar*& scroll,
                         QLineEdit*& box, QPushButton*& button);
    // The button or option of the control table with this objectName.
    QPushButton* tableButton(QWidget* parent, const char* objectName);
    QRadioButton* tableOption(QWidget* parent, const char* objectName, bool selected);
    // What a click on a control of the table does: the preview, then the message.
    void press(const char* objectName);
    // Quarters Shape1..Shape4 as 'N' (normal) or 'R' (reverse).
    void setPreview(const char* quarters);
    void setQuarter(ShapeWidget* shape, const QString& quarter, bool reverse);

    engine::BoardSession& session_;
    Dialogs& dialogs_;

    QScrollBar* HScroll9_;
    QLineEdit* Text8_;
    QPushButton* Command16_;
    QScrollBar* HScroll8_;
    QLineEdit* Text1_;
    QPushButton* Command21_;
    ShapeWidget* Shape1_;
    ShapeWidget* Shape2_;
    ShapeWidget* Shape3_;
    ShapeWidget* Shape4_;
    QPushButton* cmdLCDON_;
    QPushButton* cmdLCDOFF_;
    QPushButton* Command8_;
    QPushButton* Command9_;
    QPushButton* Command10_;
    QPushButton* Command11_;
    QPushButton* Command12_;
    QPushButton* Command13_;
    QPushButton* Command14_;
    QPushButton* Command15_;
    QRadioButton* optRotate0_;
    QRadioButton* optRotate180_;
};
