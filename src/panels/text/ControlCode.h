#pragma once
// The control character a key press stands for, as a Windows keyboard delivers it in a key
// press: Enter 0D and Ctrl+Enter 0A, Backspace 08 and Ctrl+Backspace 7F, and Ctrl with a letter
// or with one of [ \ ] ^ _ the codes 01..1F (Ctrl+A 01 .. Ctrl+Z 1A, Ctrl+[ 1B .. Ctrl+_ 1F).
// Shift may be held as well (^ and _ are shifted keys on most layouts); Alt or Meta with Ctrl is
// AltGr on some keyboards and types its character instead.

class QEvent;
class QKeyEvent;

// The code 0..0x7F of the control character, or -1 for a key that stands for none.
int controlCode(const QKeyEvent* key);

// For a box whose key handler takes control characters: accepts the ShortcutOverride of a key
// that stands for one, so that the key reaches the box instead of a window shortcut (Ctrl+T of
// the traffic monitor). True when `event` was such an override.
bool claimControlKey(QEvent* event);
