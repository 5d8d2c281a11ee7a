#pragma once
// Key filter of a coordinate field: every key press that types a character is shown to the
// field's KeyPress handler first, as the character code the board's users know from Windows
// (8 Backspace, 13 Enter, 1..26 for Ctrl+A..Ctrl+Z). The handler lets the key through by
// leaving the code alone, or uses it up by setting it to 0.
//
// Keys that type nothing (Delete, arrows, Home, function keys, Alt and Meta combinations) reach
// the field unfiltered, and so does Tab, which moves the focus on.

#include <QObject>
#include <functional>
#include <optional>

class QKeyEvent;
class QLineEdit;

class CoordinateKeyFilter : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int& keyAscii)>;

    // Installs itself on the field and lives as long as the field.
    CoordinateKeyFilter(QLineEdit* field, Handler handler);

    // The character code the key press types, or nothing for a key that types no character.
    static std::optional<int> characterCode(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
};
