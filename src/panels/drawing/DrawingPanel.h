#pragma once
// The "Coordinates" page: frame "Line/Rectangle/Circle/Pixel" with the shape, mode and fill
// options and three parameter frames stacked at one place (pixel, line/rectangle, circle), of
// which the chosen shape shows one. Each "Send" writes one drawing command.
//
// The option handlers only enable, disable, show and hide; a disabled option keeps its selection,
// so "Rectangle", "Reverse", "Line" leaves "Reverse" selected and the line "Send" then writes
// nothing. The handlers read the controls when they run; the panel keeps no copy of them.
//
// Every coordinate is one byte. A field that does not hold a whole number from 0 to 255 is never
// sent: "Send" then writes nothing at all and names the offending fields in one message box.

#include "panels/drawing/TwipLayout.h"

#include <QList>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

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

    void coordinateKeyPress(QLineEdit* field, int& keyAscii);
    // The bytes of the fields in order, or nothing (after telling the user) when one cannot be
    // sent.
    std::optional<std::vector<std::uint8_t>> readBytes(const QList<QLineEdit*>& fields);

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
