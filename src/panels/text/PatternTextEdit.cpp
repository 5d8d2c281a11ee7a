#include "panels/text/PatternTextEdit.h"

#include <QMimeData>

PatternTextEdit::PatternTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    // Only digits and commas are typed here; without an input method, dead keys and compose
    // sequences arrive as plain key presses and meet the same key filter.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
    // A list without blanks is one long word to the line breaker. Looking for a word boundary
    // first rescans the rest of that word for every line, so a pasted list of a megabyte took
    // minutes to show; breaking anywhere lays it out in one pass. Lines broke inside such a
    // list before as well, since no word boundary fits.
    setWordWrapMode(QTextOption::WrapAnywhere);
    QTextOption option = document()->defaultTextOption();
    // Digits and commas run left to right; this spares scanning a long list for its direction.
    option.setTextDirection(Qt::LeftToRight);
    document()->setDefaultTextOption(option);
}

bool PatternTextEdit::isPatternText(QStringView text) {
    for (QChar c : text) {
        switch (c.unicode()) {
        case u',':
        case u' ':
        case u'\t':
        case u'\r':
        case u'\n':
        case QChar::LineSeparator:
        case QChar::ParagraphSeparator:
            continue;
        default:
            if (c < u'0' || c > u'9')
                return false;
        }
    }
    return true;
}

bool PatternTextEdit::canInsertFromMimeData(const QMimeData* source) const {
    // Any text is taken in, so that a refused paste or drop is reported instead of passing in
    // silence.
    return source && source->hasText();
}

void PatternTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText())
        return;
    if (!isPatternText(source->text())) {
        emit pasteRefused();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}
