#pragma once
// Keys as a user types them, through the key events a keyboard sends.

#include <QKeySequence>
#include <QString>
#include <QTest>
#include <QWidget>

// One key per character of `keys`: '\r' is Enter, '\b' Backspace, codes 1..26 Ctrl+A..Ctrl+Z,
// anything else the key that types that character. A key that types nothing is written by its
// name in braces, as QKeySequence spells it: "{Home}{Del}", "{Left}3".
inline void typeKeys(QWidget* w, const QString& keys) {
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys[i] == u'{') {
            const qsizetype close = keys.indexOf(u'}', i);
            const QKeySequence named =
                close < 0 ? QKeySequence() : QKeySequence(keys.mid(i + 1, close - i - 1));
            if (named.count() != 1)
                qFatal("no key named in %s", qPrintable(keys.mid(i)));
            QTest::keyClick(w, named[0].key(), named[0].keyboardModifiers());
            i = close;
            continue;
        }
        char32_t c = keys[i].unicode();
        if (keys[i].isHighSurrogate() && i + 1 < keys.size()) {
            c = QChar::surrogateToUcs4(keys[i], keys[i + 1]);
            ++i;
        }
        if (c == '\r')
            QTest::keyClick(w, Qt::Key_Return);
        else if (c == '\b')
            QTest::keyClick(w, Qt::Key_Backspace);
        else if (c >= 1 && c <= 26)
            QTest::keyClick(w, Qt::Key(Qt::Key_A + int(c) - 1), Qt::ControlModifier);
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c <= 0xFF ? QChar::toUpper(c) : c),
                                QString::fromUcs4(&c, 1), Qt::NoModifier);
    }
}
