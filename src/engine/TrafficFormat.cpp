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

QString timeOfDay(qint64 timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs).time().toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString hexText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
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

QString textLine(const TrafficRow& row) {
    return timeOfDay(row.timeMs) + QStringLiteral("  ") + directionArrow(row.direction) +
           QStringLiteral("  ") + hexText(row.bytes).leftJustified(kHexColumnWidth) +
           QStringLiteral("  ") + row.meaning;
}

QString verboseLine(Direction direction, const QString& meaning) {
    return directionArrow(direction) + u' ' + meaning;
}

QString csvHeader() {
    return QStringLiteral("time,direction,bytes,meaning");
}

QString csvLine(const TrafficRow& row) {
    return timeOfDay(row.timeMs) + u',' + directionText(row.direction) + u',' + hexText(row.bytes) +
           u',' + csvField(row.meaning);
}

QString droppedNote(qint64 droppedRows, qsizetype maxRows) {
    if (droppedRows <= 0)
        return {};
    if (droppedRows == 1)
        return QStringLiteral("The oldest row was dropped; the monitor keeps the latest %1.")
            .arg(maxRows);
    return QStringLiteral("The oldest %1 rows were dropped; the monitor keeps the latest %2.")
        .arg(droppedRows)
        .arg(maxRows);
}

} // namespace engine
