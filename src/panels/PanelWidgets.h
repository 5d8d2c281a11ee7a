#pragma once
// Small factories for the controls every panel builds, so that each control gets its objectName,
// its accessible name and the look of its kind in one place.

#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QWidget;

namespace widgets {

// A frame; its title is also its accessible name. An empty title gives an untitled frame.
QGroupBox* frame(QWidget* parent, const char* objectName, const QString& title,
                 const QString& accessibleName = {});
QPushButton* button(QWidget* parent, const char* objectName, const QString& caption,
                    const QString& accessibleName = {});
QRadioButton* option(QWidget* parent, const char* objectName, const QString& caption,
                     bool selected = false, const QString& accessibleName = {});
// A horizontal scroll bar that moves by 1 for an arrow click and for a click in its track.
QScrollBar* scrollBar(QWidget* parent, const char* objectName, int minimum, int maximum, int value,
                      const QString& accessibleName);
// A display-only box: the program writes it, the user can read and select but never type.
QLineEdit* displayBox(QWidget* parent, const char* objectName, const QString& text,
                      const QString& accessibleName);
// A box the user types into.
QLineEdit* entryBox(QWidget* parent, const char* objectName, const QString& text,
                    const QString& accessibleName);
// A label that names its buddy control for keyboard users.
QLabel* label(QWidget* parent, const QString& text, QWidget* buddy = nullptr);
// A top-level window built on a plain QWidget: a screen reader announces it as a window (a plain
// QWidget reads as a "filler", also when it is a window of its own).
void readAsWindow(QWidget* window);
// Keeps a mirror box showing the scroll bar's value as plain decimal digits, also while dragging,
// and sizes it to the bar's largest value.
void mirror(QScrollBar* bar, QLineEdit* box);

} // namespace widgets
