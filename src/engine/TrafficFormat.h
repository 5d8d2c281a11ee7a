#pragma once
// How traffic reads as text: in the monitor's columns, in its text and CSV files, and in the
// command line's --verbose output, so that all of them read the same.
//
//   text line   "14:03:07.125  ->  06 00              SetPage 0" (copied rows)
//   file line   "2026-12-07 14:03:07.125  ->  06 00              SetPage 0"
//   CSV line    2026-12-07 14:03:07.125,to board,06 00,SetPage 0
//   verbose     "-> SetPage 0", "<- "45!""
//
// The meaning of bytes to the board comes from a protocol::MessageDecoder fed every write in
// order; that of bytes from the board from protocol::replyMeaning(). So --verbose prints
//   verboseLine(ToBoard, decoder.feed(written)) and
//   verboseLine(FromBoard, protocol::replyMeaning(read)).

#include "engine/TrafficLog.h"

#include <QString>

namespace engine {

// A row's whole meaning, as files and copied rows have it: for a reply, the text of all its bytes.
QString fullMeaning(const TrafficRow& row);
// Time of day in local time with milliseconds: "14:03:07.125".
QString timeOfDay(qint64 timeMs);
// Date and time of day in local time, as saved files have it: "2026-12-07 14:03:07.125".
QString dateAndTime(qint64 timeMs);
// "49 44"
QString hexText(const QByteArray& bytes);
// The bytes as a row shows them: hexText() of the first kShownHexBytes, and when there are more,
// how many in all: "30 31 32 … (4096 bytes)". Files and copied rows have every byte.
constexpr qsizetype kShownHexBytes = 64;
QString shownHexText(const QByteArray& bytes);
// "to board", "from board"
QString directionText(Direction direction);
// "->", "<-"
QString directionArrow(Direction direction);
// "452 ms", "5.341 s"
QString durationText(qint64 ms);
// A fold's meaning: "PutPattern × 2560 in 5.341 s"; typed characters add their text:
// "PutChar × 2 in 310 ms: "Hi"".
QString foldMeaning(const TrafficEntry& entry);
// A fold's bytes, all its writes together: "5120 bytes".
QString foldBytes(const TrafficEntry& entry);

// One row as a line of copied rows (time of day) or of the text file (with the date).
enum class TimeStamp { TimeOfDay, DateAndTime };
QString textLine(const TrafficRow& row, TimeStamp stamp = TimeStamp::TimeOfDay);
// One row as the command line's --verbose prints it.
QString verboseLine(Direction direction, const QString& meaning);
QString csvHeader();
QString csvLine(const TrafficRow& row);
// The note on the rows the log's bound has dropped, empty when none were dropped.
QString droppedNote(const TrafficLog& log);

// The whole log, every row of every fold, oldest first; `keep` chooses the rows. A text file
// starts with the note on dropped rows as a "#" line; a CSV file has a header line.
enum class TrafficFileFormat { Text, Csv };
template <typename Keep>
QString trafficFile(const TrafficLog& log, TrafficFileFormat format, Keep keep) {
    QString out;
    if (format == TrafficFileFormat::Csv)
        out += csvHeader() + u'\n';
    else if (log.droppedRows() > 0)
        out += QStringLiteral("# ") + droppedNote(log) + u'\n';
    log.forEachRow([&](const TrafficRow& row) {
        if (keep(row))
            out += (format == TrafficFileFormat::Csv ? csvLine(row)
                                                     : textLine(row, TimeStamp::DateAndTime)) +
                   u'\n';
    });
    return out;
}

} // namespace engine
