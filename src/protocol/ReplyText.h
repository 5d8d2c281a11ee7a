#pragma once
// How the board's replies read as text, in the response boxes, the traffic monitor and on the
// command line: each byte as the character with the same code (ISO 8859-1), except the control
// codes, which show as their name in angle brackets ("<CR>", "<LF>", "<DEL>", "<0x85>"), so
// that nothing the board sent is hidden, reflows a one-line box or needs a symbol font.

#include <QByteArray>
#include <QString>

namespace protocol {

QString replyText(const QByteArray& bytes);
// A reply as the traffic monitor and --verbose name it: its text in quotes, "\"45!<CR>\"".
QString replyMeaning(const QByteArray& bytes);
// What a row of the traffic monitor shows of a reply: replyMeaning() of its first
// kShownReplyBytes bytes, and when there are more, how many in all: "\"0123…\"… (4096 bytes)".
// Kept short so that the monitor keeps little more than the bytes themselves, and paints a row
// of kilobytes as fast as any.
constexpr qsizetype kShownReplyBytes = 256;
QString shownReplyMeaning(const QByteArray& bytes);
// Characters as a quoted text, as logs and the decoder show a string sent to the board:
// printable ASCII as itself, '"' and '\' escaped, anything else as \xNN.
QString quotedText(const QByteArray& characters);

} // namespace protocol
