#pragma once
// The writes of a session as a `vantrelctl script` file, so that what was clicked together in
// the window can be replayed from a shell or a build job.
//
// The writes are read back into whole messages (a message cut across writes, such as the pixel
// command, is one message again). Each message becomes the command line's own words where one
// command sends exactly its bytes ("contrast 45", "rect 10 20 100 60"); a run of PutPattern
// becomes `pattern` lines of up to one page (160 values); every other message is `raw` hex,
// after a comment that names it. A pause of kGapCommentMs or more between two messages is a
// comment with the time. Whatever the words, the script sends exactly the bytes written, in
// order.

#include "engine/TrafficRow.h"

#include <QStringList>
#include <span>

namespace engine {

class ScriptWriter {
public:
    static constexpr qint64 kGapCommentMs = 1000;
    static constexpr int kPatternValuesPerLine = 160;
    static constexpr int kRawMessagesPerLine = 16;

    // The script lines for these rows; rows from the board are left out.
    static QStringList lines(std::span<const TrafficRow> rows);
    // The command line's words for one whole message, or empty when none sends exactly these
    // bytes. `parameters` are the bytes after the code (a string's characters without the
    // carriage return).
    static QString words(std::uint8_t code, const QByteArray& parameters);
};

} // namespace engine
