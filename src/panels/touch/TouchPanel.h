#pragma once
// The "Touch Screen" frame: how the board's touch screen reports touches, its calibration, and
// the "Response" box where the receive path shows what the board sends back. The reporting
// mode lives in the board; the panel keeps no copy of it.
//
//   name       caption / text           what it sends (hex)
//   Command22  "4x4 Keypad w/Flip"      SetKeypadMode 1C 02
//   Cmd4x4     "4x4 Keypad w/o Flip"    SetKeypadMode 1C 01
//   CmdAnalog  "Coordinates"            SetTouchMode 05 01
//   CmdOFF     "OFF"                    SetTouchMode 05 00
//   CmdNewCal  "New Calibration"        CalibrateTouch 19 01, after Yes to "Warning"
//   CmdRestor  "Restore Default"        RestoreTouchCalibration 1A 01
//   Text14     "Response"               nothing; shows each reply of the board

#include <QWidget>

class Dialogs;
namespace engine {
class BoardSession;
}
class QLineEdit;
class QPushButton;

class TouchPanel : public QWidget {
    Q_OBJECT
public:
    TouchPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

public slots:
    // The receive path shows each reply of the board here too.
    void showResponse(const QString& text);

    void Command22_Click();
    void Cmd4x4_Click();
    void CmdAnalog_Click();
    void CmdOFF_Click();
    void CmdNewCal_Click();
    void CmdRestor_Click();

private:
    void send(const QByteArray& message);

    engine::BoardSession& session_;
    Dialogs& dialogs_;

    QPushButton* Command22_;
    QPushButton* Cmd4x4_;
    QPushButton* CmdAnalog_;
    QPushButton* CmdOFF_;
    QPushButton* CmdNewCal_;
    QPushButton* CmdRestor_;
    QLineEdit* Text14_;
};
