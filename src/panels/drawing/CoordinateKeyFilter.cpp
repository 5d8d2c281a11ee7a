#include "panels/drawing/CoordinateKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kEscape = 27;

// Ctrl with a letter or one of @ [ \ ] ^ _ types a control character (Ctrl+C is 3).
std::optional<int> controlCode(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    switch (key) {
    case Qt::Key_At:
        return 0;
    case Qt::Key_BracketLeft:
        return 27;
    case Qt::Key_Backslash:
        return 28;
    case Qt::Key_BracketRight:
        return 29;
    case Qt::Key_AsciiCircum:
        return 30;
    case Qt::Key_Underscore:
        return 31;
    default:
        return std::nullopt;
    }
}

} // namespace

CoordinateKeyFilter::CoordinateKeyFilter(QLineEdit* field, Handler handler)
    : QObject(field), handler_(std::move(handler)) {
    field->installEventFilter(this);
}

std::optional<int> CoordinateKeyFilter::characterCode(const QKeyEvent& event) {
    const int key = event.key();
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return std::nullopt;
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Escape:
        return kEscape;
    default:
        break;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;
    if (modifiers & Qt::ControlModifier)
        return controlCode(key);
    const QString text = event.text();
    if (text.isEmpty())
        return std::nullopt;
    // Delete and the like carry a control character as text on some systems but type nothing.
    const char32_t c = text.toUcs4().value(0);
    if (c < 0x20 || c == 0x7F)
        return std::nullopt;
    return static_cast<int>(c);
}

bool CoordinateKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const std::optional<int> code = characterCode(*keyEvent);
    if (!code)
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Claim Ctrl+C and friends as typed characters, so that no window shortcut takes them.
        keyEvent->accept();
        return true;
    }
    int keyAscii = *code;
    handler_(keyAscii);
    return keyAscii == 0;
}
