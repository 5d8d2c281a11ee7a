#include "engine/TrafficFormat.h"

#include "protocol/CommandTable.h"
#include "protocol/ReplyText.h"

#include <QDateTime>

namespace engine {

namespace {

// The widest message that is not a string (DrawLineRect, six bytes) lines up in a text file.
constexpr int kHexColumnWidth = 17;

QString csvField(const QString& field) {
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') &&
        !field.contains(u'\r'))
        return field;
    QString quoted = field;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

QString fullMeaning(const TrafficRow& row) {
    return row.direction == Direction::FromBoard ? protocol::replyMeaning(row.bytes) : row.meaning;
}

QString timeOfDay(qint64 timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs).time().toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString dateAndTime(qint64 timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs).toString(
        QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString hexText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString shownHexText(const QByteArray& bytes) {
    if (bytes.size() <= kShownHexBytes)
        return hexText(bytes);
    return hexText(bytes.first(kShownHexBytes)) + QStringLiteral(" … (%1 bytes)").arg(bytes.size());
}

QString directionText(Direction direction) {
    return direction == Direction::ToBoard ? QStringLiteral("to board")
                                           : QStringLiteral("from board");
}

QString directionArrow(Direction direction) {
    return direction == Direction::ToBoard ? QStringLiteral("->") : QStringLiteral("<-");
}

QString durationText(qint64 ms) {
    if (ms < 1000)
        return QStringLiteral("%1 ms").arg(ms);
    return QStringLiteral("%1 s").arg(double(ms) / 1000.0, 0, 'f', 3);
}

QString foldMeaning(const TrafficEntry& entry) {
    const protocol::CommandInfo* info =
        entry.foldCommand >= 0 ? protocol::commandInfo(std::uint8_t(entry.foldCommand)) : nullptr;
    const QString name = info ? QString::fromLatin1(info->name) : QStringLiteral("writes");
    QString text = QStringLiteral("%1 × %2 in %3")
                       .arg(name)
                       .arg(entry.rows.size())
                       .arg(durationText(entry.durationMs()));
    // Typed characters read as the text they make.
    if (info && info->code == protocol::CommandCode::PutChar) {
        QByteArray characters;
        for (const TrafficRow& row : entry.rows)
            characters += row.bytes.mid(1);
        text += QStringLiteral(": ") + protocol::quotedText(characters);
    }
    return text;
}

QString foldBytes(const TrafficEntry& entry) {
    qsizetype bytes = 0;
    for (const TrafficRow& row : entry.rows)
        bytes += row.bytes.size();
    return QStringLiteral("%1 bytes").arg(bytes);
}

QString textLine(const TrafficRow& row, TimeStamp stamp) {
    const QString time =
        stamp == TimeStamp::DateAndTime ? dateAndTime(row.timeMs) : timeOfDay(row.timeMs);
    return time + QStringLiteral("  ") + directionArrow(row.direction) + QStringLiteral("  ") +
           hexText(row.bytes).leftJustified(kHexColumnWidth) + QStringLiteral("  ") +
           fullMeaning(row);
}

QString verboseLine(Direction direction, const QString& meaning) {
    return directionArrow(direction) + u' ' + meaning;
}

QString csvHeader() {
    return QStringLiteral("time,direction,bytes,meaning");
}

QString csvLine(const TrafficRow& row) {
    return dateAndTime(row.timeMs) + u',' + directionText(row.direction) + u',' +
           hexText(row.bytes) + u',' + csvField(fullMeaning(row));
}

QString droppedNote(const TrafficLog& log) {
    const qint64 dropped = log.droppedRows();
    if (dropped <= 0)
        return {};
    const qint64 mb = 1024 * 1024;
    const QString memory = log.maxBytes() >= mb
                               ? QStringLiteral("%1 MB").arg(log.maxBytes() / mb)
                               : QStringLiteral("%1 KB").arg(log.maxBytes() / 1024);
    const QString kept = QStringLiteral("the monitor keeps the latest, up to %1 rows in %2.")
                             .arg(log.maxRows())
                             .arg(memory);
    if (dropped == 1)
        return QStringLiteral("The oldest row was dropped; ") + kept;
    return QStringLiteral("The oldest %1 rows were dropped; ").arg(dropped) + kept;
}

} // namespace engine
