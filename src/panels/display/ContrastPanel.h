#pragma once
// The "Contrast" and "Backlight" frames of the "Settings" page. The contrast scroll bar is the
// only record of the contrast: it holds the user's last setting or the value the board reported
// at connection. Each completed change of the bar sends SetContrast once; a dragged thumb sends
// only when it is released.
//
//   name       caption / text                    what it sends (hex)
//   HScroll1   "Electronic Volume" 0..127        SetContrast 10 nn on each completed change
//                                                (also when the board's contrast is taken over)
//   Text9      (value of HScroll1)               nothing
//   Command18  "ON" (frame "Backlight")          SetBacklight 09 01
//   Command19  "OFF"                             SetBacklight 09 00

#include <QWidget>

class Dialogs;
namespace engine {
class BoardSession;
}
class QLineEdit;
class QPushButton;
class QScrollBar;

class ContrastPanel : public QWidget {
    Q_OBJECT
public:
    ContrastPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

    static constexpr int kMinContrast = 0;
    static constexpr int kMaxContrast = 127;

public slots:
    // The contrast the board reported at connection; sets the scroll bar, which echoes it.
    void takeOverContrast(int value);

    // A completed value change of the contrast bar.
    void HScroll1_Change();
    void Command18_Click();
    void Command19_Click();

private:
    engine::BoardSession& session_;
    Dialogs& dialogs_;

    QScrollBar* HScroll1_;
    QLineEdit* Text9_;
    QPushButton* Command18_;
    QPushButton* Command19_;
};
