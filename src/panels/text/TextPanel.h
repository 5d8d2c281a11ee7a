#pragma once
// The "Input Text" and "Font" frames of the "Text" page, with the "Character" / "String" mode
// options: every key typed into Text2 goes to the board at once.
//
//   name       caption / text         what it sends (hex)
//   Text2      "Input Text" (box)     each key as its Latin-1 byte cc: "Character": PutChar 02 cc;
//                                     "String": BeginString 26 cc for the first key, then cc
//                                     alone; Enter (0D) ends the string
//   optChar    "Character"            nothing; read at each key
//   optString  "String"               nothing; read at each key
//   Option1    "7 Pix" (frame "Font") SelectFont 15 01 when it becomes selected
//   Option2    "14 Pix"               SelectFont 15 02
//   Option3    "14 Pix Bold"          SelectFont 15 03
//   Option4    "22 Pix"               SelectFont 15 04
//
// A key travels as one byte, its ISO 8859-1 (Latin-1) code. In String mode the key that fills
// the board's 45-character buffer is sent and the user told ("Alert"); the next key starts a new
// string. Characters with no Latin-1 code are never sent; the user is told once per key.
//
// The box itself is only the user's echo: the program never reads, changes or cancels what is
// typed into it.

#include <QWidget>
#include <QtGlobal>

class Dialogs;
namespace engine {
class BoardSession;
}
class QPlainTextEdit;
class QRadioButton;

class TextPanel : public QWidget {
    Q_OBJECT
public:
    // Size of the board's string buffer: the key that fills it is sent, then the user is told.
    static constexpr int kStringBufferLimit = 45;

    TextPanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

    // Keys sent in String mode since the current string began.
    int stringCharacterCount() const { return stringCharacterCount_; }

    // The bytes one typed text stands for: each character its Latin-1 code, composed first so
    // that a letter with a combining accent becomes its precomposed form. Characters with no
    // Latin-1 code are left out and listed in `unsendable`.
    static QByteArray latin1Bytes(const QString& typed, QString* unsendable = nullptr);

public slots:
    // One key of Text2 as the byte the board gets (0..255).
    void Text2_KeyPress(int keyAscii);
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void typed(const QString& text);
    void selectFont(int font);
    void tellNotSent(const QString& unsendable);

    engine::BoardSession& session_;
    Dialogs& dialogs_;
    // The board's view of the current string; a 16-bit count like the board's own.
    qint16 stringCharacterCount_ = 0;

    QPlainTextEdit* Text2_;
    QRadioButton* Option1_;
    QRadioButton* Option2_;
    QRadioButton* Option3_;
    QRadioButton* Option4_;
    QRadioButton* optChar_;
    QRadioButton* optString_;
};
