#pragma once
// The box of the "Pattern" frame. Pasted and dropped text goes in only when it holds nothing
// but digits, commas and blanks (space, tab, line breaks); anything else is refused whole, the
// box stays as it was and pasteRefused() tells the panel. Typed keys are filtered by the panel.
//
// Line breaks count as blanks so that a list copied with its line end, or one value per line
// ("1,\n2,\n3"), pastes as it is; a blank between two digits still makes that piece no number.

#include <QPlainTextEdit>

class PatternTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PatternTextEdit(QWidget* parent = nullptr);

    // Whether a pasted text may go into the box.
    static bool isPatternText(QStringView text);

signals:
    void pasteRefused();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
