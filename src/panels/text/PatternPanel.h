#pragma once
// The "Pattern" frame of the "Graphic" page: a comma-separated list of byte values, each sent as
// its own PutPattern message in list order. Only digits, commas and Backspace may be typed, and
// only digits, commas and blanks pasted; every "Send" empties the box.
//
//   name        caption / text                 what it sends (hex)
//   txtString1  (list box, "Pattern values")   nothing; a refused key shows "Illegal Character"
//   Label6      "Example: 0,...,255"           -
//   Command1    "Send"                         PutPattern 03 nn for each value nn of the list
//                                              that is a byte, one write each; then empties the box

#include "protocol/Messages.h"

#include <QStringView>
#include <QWidget>
#include <optional>

class Dialogs;
namespace engine {
class BoardSession;
}
class PatternTextEdit;
class QLabel;
class QPushButton;

class PatternPanel : public QWidget {
    Q_OBJECT
public:
    PatternPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

    // One piece of the list as a pattern byte: decimal digits with optional blanks around them,
    // 0..255. Anything else (empty, a sign, a blank between digits, too large) is no value.
    static std::optional<protocol::Byte> patternValue(QStringView piece);

public slots:
    // "Send": every valid value of the list, one message each; then the box is emptied.
    void Command1_Click();
    // Key filter of the box: true when the key may reach it; otherwise the user is told.
    bool txtString1_KeyPress(int keyAscii);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showIllegalCharacter();

    engine::BoardSession& session_;
    Dialogs& dialogs_;

    PatternTextEdit* txtString1_;
    QPushButton* Command1_;
    QLabel* Label6_;
};
