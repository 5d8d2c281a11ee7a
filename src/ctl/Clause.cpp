#include "ctl/Clause.h"

namespace ctl {

namespace {

// The letter at `at` lowered, unless it starts an abbreviation ("JPEG", "RFC 2217").
void lowerAt(QString& text, qsizetype at) {
    if (at + 1 < text.size() && text[at].isUpper() && !text[at + 1].isUpper())
        text[at] = text[at].toLower();
}

} // namespace

QString Clause::of(const QString& sentences) {
    QString text = sentences.trimmed();
    if (text.endsWith(u'.'))
        text.chop(1);
    lowerAt(text, 0);
    for (qsizetype at = text.indexOf(QStringLiteral(". ")); at > 0;
         at = text.indexOf(QStringLiteral(". "), at)) {
        if (at + 2 < text.size() && text[at + 2].isUpper()) {
            text.replace(at, 2, QStringLiteral("; "));
            lowerAt(text, at + 2);
        }
        at += 2;
    }
    return text;
}

} // namespace ctl
