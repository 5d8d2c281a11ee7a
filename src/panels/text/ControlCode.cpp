#include "panels/text/ControlCode.h"

#include <QKeyEvent>

int controlCode(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers();
    const bool ctrl =
        (mods & Qt::ControlModifier) && !(mods & (Qt::AltModifier | Qt::MetaModifier));
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ctrl ? 0x0A : 0x0D;
    case Qt::Key_Backspace:
        return ctrl ? 0x7F : 0x08;
    default:
        break;
    }
    if (!ctrl)
        return -1;
    const int k = key->key();
    // Ctrl takes the five low bits of the key's character: 'A' 41 -> 01, '[' 5B -> 1B.
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_BracketLeft && k <= Qt::Key_Underscore))
        return k & 0x1F;
    return -1;
}

bool claimControlKey(QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (controlCode(key) < 0)
        return false;
    key->accept();
    return true;
}
