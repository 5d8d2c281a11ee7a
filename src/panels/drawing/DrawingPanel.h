#pragma once
// The "Coordinates" page: frame "Line/Rectangle/Circle/Pixel" with the shape, mode and fill
// options and three parameter frames stacked at one place, of which the chosen shape shows one.
// A view: the option handlers run the enable/show table of DrawingPanel.cpp, and each "Send"
// writes what drawing::drawingCommand (DrawingCommand.h) makes of the selection and the fields.
//
//   name              caption / text     what it does
//   Frame34           "Line/Rectangle/Circle/Pixel" (holds the controls below)
//   Option12          "Pixel"            shows Frame5; greys the mode and fill options
//   Option7           "Line"             shows Frame35; "Draw", "Clear" usable, the rest greyed
//   Option8           "Rectangle"        shows Frame35; every mode and fill option usable
//   Option9           "Circle"           shows Frame39; "Draw", "Clear" usable, the rest greyed
//   Option5, Option6  "Draw", "Clear"    make "Empty", "Filled" usable while "Rectangle" is on
//   Option13          "Reverse"          greys "Empty" and "Filled"
//   Option10, 11      "Empty", "Filled"  rectangle outline / filled (no handler)
//   Frame5            (pixel)            Text4 "X", Text3 "Y"
//   cmdSend           "Send"             DrawPixel 0A 01, then X Y in a second write
//   Frame35           (line/rectangle)   Text15, Text16 "Start" X, Y; Text18, Text19 "End" X, Y
//   Command23         "Send"             "Draw": DrawLineRect 1F ff X1 Y1 X2 Y2; "Clear" and
//                                        "Reverse": ClearLineRect 1E ff X1 Y1 X2 Y2; ff: 00
//                                        line, 01 outline, 02 filled, 03 reversed (rectangle
//                                        only); "Line" with "Reverse": nothing
//   Frame39           (circle)           Text20 "R" radius; Text22, Text23 "Center" X, Y
//   Command26         "Send"             "Draw": DrawCircle 21 R X Y; "Clear": ClearCircle
//                                        20 R X Y; "Reverse": nothing
//   Text4, Text3, Text15, Text16, Text18, Text19 (KeyPress): digits pass; Backspace or any other
//                     character resets the field to "0", the latter with "Illegal Character".
//                     The circle fields take any text; "Send" checks them.
//
// A disabled option keeps its selection, so "Rectangle", "Reverse", "Line" leaves "Reverse"
// selected and the line "Send" then writes nothing. The handlers read the controls when they
// run; the panel keeps no copy of them. Every coordinate is one byte: a field that does not hold
// a whole number from 0 to 255 is never sent; "Send" then writes nothing at all and names the
// offending fields in one message box.

#include "panels/drawing/DrawingCommand.h"
#include "panels/drawing/TwipLayout.h"

#include <QList>
#include <QWidget>

class Dialogs;
namespace engine {
class BoardSession;
}
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class DrawingPanel : public QWidget {
    Q_OBJECT
public:
    DrawingPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

    // The arrangement of the controls (its scale shows whether the twip positions were kept).
    const TwipLayout& twipLayout() const { return layout_; }

public slots:
    // Shape group; each runs when its option becomes selected.
    void Option12_Click(); // "Pixel"
    void Option7_Click();  // "Line"
    void Option8_Click();  // "Rectangle"
    void Option9_Click();  // "Circle"
    // Mode group.
    void Option5_Click();  // "Draw"
    void Option6_Click();  // "Clear"
    void Option13_Click(); // "Reverse"

    void cmdSend_Click();   // pixel
    void Command23_Click(); // line or rectangle
    void Command26_Click(); // circle

    // Key filter of the six pixel and line/rectangle fields: digits pass, Backspace resets the
    // field to "0", any other character is refused with a message and resets the field too.
    // keyAscii becomes 0 when the key is used up.
    void Text4_KeyPress(int& keyAscii);
    void Text3_KeyPress(int& keyAscii);
    void Text15_KeyPress(int& keyAscii);
    void Text16_KeyPress(int& keyAscii);
    void Text18_KeyPress(int& keyAscii);
    void Text19_KeyPress(int& keyAscii);

protected:
    void changeEvent(QEvent* event) override;

private:
    QRadioButton* option(QWidget* frame, const char* name, const QString& caption, bool selected,
                         QRect twips);
    QLineEdit* field(QWidget* frame, const char* name, const QString& accessibleName, QRect twips);
    void labelAt(QWidget* frame, const QString& text, QWidget* buddy, int left, int top,
                 const char* name = "");
    void layOut();

    // Sets the Enabled and Visible flags as the option's row of the rule table says.
    void applyOptionRule(const char* option);
    void coordinateKeyPress(QLineEdit* field, int& keyAscii);

    // The selection as the "Send" handlers read it.
    drawing::Shape shape() const;
    drawing::Mode mode() const;
    drawing::Fill fill() const;
    // Writes the command for `shape` with these fields, or names the fields that hold no byte.
    void send(drawing::Shape shape, const QList<QLineEdit*>& fields);

    engine::BoardSession& session_;
    Dialogs& dialogs_;
    TwipLayout layout_;

    QGroupBox* Frame34_;
    QRadioButton* Option12_; // "Pixel"
    QRadioButton* Option7_;  // "Line"
    QRadioButton* Option8_;  // "Rectangle"
    QRadioButton* Option9_;  // "Circle"
    QGroupBox* Frame36_;
    QRadioButton* Option5_;  // "Draw"
    QRadioButton* Option6_;  // "Clear"
    QRadioButton* Option13_; // "Reverse"
    QGroupBox* Frame38_;
    QRadioButton* Option10_; // "Empty"
    QRadioButton* Option11_; // "Filled"
    QGroupBox* Frame5_;
    QLineEdit* Text4_;
    QLineEdit* Text3_;
    QPushButton* cmdSend_;
    QGroupBox* Frame35_;
    QLineEdit* Text15_;
    QLineEdit* Text16_;
    QLineEdit* Text18_;
    QLineEdit* Text19_;
    QPushButton* Command23_;
    QGroupBox* Frame39_;
    QLineEdit* Text20_;
    QLineEdit* Text22_;
    QLineEdit* Text23_;
    QPushButton* Command26_;
};
