// The traffic log under the monitor: rows, folds, the bound, the text and CSV files, and the
// script written from the rows sent to the board.

#include "engine/ScriptWriter.h"
#include "engine/TrafficFormat.h"
#include "engine/TrafficLog.h"
#include "support/HexCompare.h"

#include <QDateTime>
#include <QTest>

using engine::Direction;
using engine::ScriptWriter;
using engine::TrafficLog;
using engine::TrafficRow;

namespace {

// 14:03:07.125 local time, so that the times read the same in every time zone.
qint64 base() {
    return QDateTime(QDate(2024, 5, 2), QTime(14, 3, 7, 125)).toMSecsSinceEpoch();
}

// The escapes \r, \n and \xHH (written with a doubled backslash in C++) as their bytes.
QByteArray unescaped(const QString& text) {
    QByteArray bytes;
    const QByteArray latin1 = text.toLatin1();
    for (qsizetype i = 0; i < latin1.size(); ++i) {
        if (latin1[i] != '\\' || i + 1 == latin1.size()) {
            bytes += latin1[i];
        } else if (latin1[i + 1] == 'x') {
            bytes += QByteArray::fromHex(latin1.mid(i + 2, 2));
            i += 3;
        } else {
            bytes += latin1[i + 1] == 'r' ? '\r' : '\n';
            ++i;
        }
    }
    return bytes;
}

// Rows from a compact text: "MS > HEX" for a write, "MS < TEXT" for a read (escapes as above),
// separated by "|"; MS counts from base().
QList<TrafficRow> rowsOf(const QString& text) {
    QList<TrafficRow> rows;
    for (const QString& part : text.split(u'|', Qt::SkipEmptyParts)) {
        const QString item = part.trimmed();
        const qsizetype arrow = item.indexOf(QRegularExpression(QStringLiteral("[<>]")));
        TrafficRow row;
        row.timeMs = base() + item.left(arrow).trimmed().toLongLong();
        row.direction = item[arrow] == u'>' ? Direction::ToBoard : Direction::FromBoard;
        const QString rest = item.mid(arrow + 1).trimmed();
        row.bytes = row.direction == Direction::ToBoard ? QByteArray::fromHex(rest.toLatin1())
                                                        : unescaped(rest);
        rows << row;
    }
    return rows;
}

void appendAll(TrafficLog& log, const QList<TrafficRow>& rows) {
    for (const TrafficRow& row : rows)
        log.append(row.timeMs, row.direction, row.bytes);
}

// Rows per entry: "1,1,3" for two single rows and a fold of three.
QString entrySizes(const TrafficLog& log) {
    QStringList sizes;
    for (qsizetype i = 0; i < log.entryCount(); ++i)
        sizes << QString::number(log.entry(i).rows.size()) +
                     (log.entry(i).folded && log.entry(i).rows.size() == 1 ? "f" : "");
    return sizes.join(u',');
}

} // namespace

class tst_TrafficLog : public QObject {
    Q_OBJECT
private slots:
    void folds_data();
    void folds();
    void uploadFoldsIntoOneEntry();
    void boundDropsOldestFirst_data();
    void boundDropsOldestFirst();
    void boundByMemory_data();
    void boundByMemory();
    void longReplyShownShortSavedWhole();
    void files();
    void script_data();
    void script();
};

void tst_TrafficLog::folds_data() {
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("sizes");
    auto row = [](const char* name, const char* rows, const char* sizes) {
        QTest::newRow(name) << QString::fromLatin1(rows) << QString::fromLatin1(sizes);
    };
    row("same command folds", "0 > 03 01 | 2 > 03 02 | 4 > 03 03", "3");
    row("equal parameters fold too", "0 > 10 2D | 20 > 10 2D", "2");
    row("other command ends the run", "0 > 03 01 | 2 > 03 02 | 4 > 06 00 | 6 > 03 03", "2,1,1");
    row("a reply ends the run", "0 > 03 01 | 2 < ok | 4 > 03 02", "1,1,1");
    row("a pause ends the run", "0 > 03 01 | 500 > 03 02 | 1001 > 03 03", "2,1");
    row("clock going back ends the run", "500 > 03 01 | 0 > 03 02", "1,1");
    row("reads never fold", "0 < a | 1 < b | 2 < c", "1,1,1");
    row("two messages in one write", "0 > 06 00 12 00 | 1 > 06 00 12 00", "1,1");
    row("message cut across writes", "0 > 0A 01 | 1 > 05 07 | 2 > 0A 01 | 3 > 06 08", "1,1,1,1");
    row("continuation that looks like a message", "0 > 1F 01 | 1 > 03 04 | 2 > 03 05 06", "1,1,1");
    row("strings never fold", "0 > 26 41 0D | 1 > 26 42 0D", "1,1");
    row("unknown bytes never fold", "0 > 99 | 1 > 99", "1,1");
    row("identify folds with identify", "0 > 49 44 | 1 > 49 44", "2");
    row("empty write stands alone", "0 > | 1 > 03 01", "1,1");
}

void tst_TrafficLog::folds() {
    QFETCH(QString, rows);
    QFETCH(QString, sizes);
    TrafficLog log;
    appendAll(log, rowsOf(rows));
    QCOMPARE(entrySizes(log), sizes);
}

void tst_TrafficLog::uploadFoldsIntoOneEntry() {
    TrafficLog log;
    log.append(base(), Direction::ToBoard, bytesOf("05 00"));
    log.append(base() + 20, Direction::ToBoard, bytesOf("06 00"));
    log.append(base() + 22, Direction::ToBoard, bytesOf("12 00"));
    for (int i = 0; i < 2560; ++i)
        log.append(base() + 24 + i * 2, Direction::ToBoard, QByteArray(1, 0x03) + char(i));
    QCOMPARE(entrySizes(log), QStringLiteral("1,1,1,2560"));
    const engine::TrafficEntry& fold = log.entry(3);
    QVERIFY(fold.folded);
    QCOMPARE(fold.durationMs(), qint64(2 * 2559));
    QCOMPARE(engine::foldMeaning(fold), QStringLiteral("PutPattern × 2560 in 5.118 s"));
    QCOMPARE(engine::foldBytes(fold), QStringLiteral("5120 bytes"));
    QCOMPARE(fold.rows[255].meaning, QStringLiteral("PutPattern 0xFF"));
    QCOMPARE(log.rowCount(), 2563);
}

void tst_TrafficLog::boundDropsOldestFirst_data() {
    QTest::addColumn<int>("maxRows");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("sizes");
    QTest::addColumn<QString>("firstKept");
    QTest::addColumn<int>("dropped");
    QTest::addColumn<int>("firstSerial");
    auto row = [](const char* name, int maxRows, const char* rows, const char* sizes,
                  const char* firstKept, int dropped, int firstSerial) {
        QTest::newRow(name) << maxRows << QString::fromLatin1(rows) << QString::fromLatin1(sizes)
                            << QString::fromLatin1(firstKept) << dropped << firstSerial;
    };
    row("within the bound", 3, "0 > 06 01 | 1 > 12 02 | 2 < a", "1,1,1", "SetPage 1", 0, 0);
    row("single rows go first", 2, "0 > 06 01 | 1 > 12 02 | 2 < a", "1,1", "SetColumn 2", 1, 1);
    row("a fold shrinks from its front", 3, "0 > 03 01 | 1 > 03 02 | 2 > 03 03 | 3 > 03 04 | 4 < a",
        "2,1", "PutPattern 0x03", 2, 0);
    row("a fold shrunk to one row stays a fold", 2, "0 > 03 01 | 1 > 03 02 | 2 < a", "1f,1",
        "PutPattern 0x02", 1, 0);
    row("a bound of one keeps the newest", 1, "0 > 06 01 | 1 > 12 02 | 2 < a", "1", "\"a\"", 2, 2);
    row("a bound below one keeps one", 0, "0 > 06 01 | 1 > 12 02", "1", "SetColumn 2", 1, 1);
}

void tst_TrafficLog::boundDropsOldestFirst() {
    QFETCH(int, maxRows);
    QFETCH(QString, rows);
    QFETCH(QString, sizes);
    QFETCH(QString, firstKept);
    QFETCH(int, dropped);
    QFETCH(int, firstSerial);
    TrafficLog log(maxRows);
    appendAll(log, rowsOf(rows));
    QCOMPARE(entrySizes(log), sizes);
    QCOMPARE(log.entry(0).first().meaning, firstKept);
    QCOMPARE(log.droppedRows(), qint64(dropped));
    QCOMPARE(log.firstSerial(), qint64(firstSerial));
    QCOMPARE(log.rowCount(), qsizetype(rowsOf(rows).size() - dropped));
    QCOMPARE(engine::droppedNote(log).isEmpty(), dropped == 0);
}

// Whatever the traffic, the rows kept take at most the memory bound, and about all of it; the
// newest row stays, even one larger than the bound.
void tst_TrafficLog::boundByMemory_data() {
    QTest::addColumn<int>("rowBytes"); // of each reply; 0 for PutPattern writes
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<int>("count");
    QTest::newRow("long replies") << 4096 << 250 << 800;
    QTest::newRow("short replies") << 3 << 250 << 20000;
    QTest::newRow("messages apart") << 0 << 1000 << 20000;
    QTest::newRow("a run of folds") << 0 << 2 << 20000;
    QTest::newRow("replies larger than the bound") << 3'000'000 << 250 << 3;
}

void tst_TrafficLog::boundByMemory() {
    QFETCH(int, rowBytes);
    QFETCH(int, gapMs);
    QFETCH(int, count);
    const qint64 maxBytes = 2 * 1024 * 1024;
    TrafficLog log(TrafficLog::kDefaultMaxRows, maxBytes);
    for (int i = 0; i < count; ++i)
        log.append(base() + qint64(i) * gapMs, rowBytes ? Direction::FromBoard : Direction::ToBoard,
                   rowBytes ? QByteArray(rowBytes, char('0' + i % 10)) : bytesOf("03") + char(i));
    QCOMPARE(log.rowCount() + log.droppedRows(), qint64(count));
    QCOMPARE(log.entry(log.entryCount() - 1).last().timeMs, base() + qint64(count - 1) * gapMs);
    for (qsizetype i = 0; i < log.entryCount(); ++i)
        QVERIFY(log.entry(i).appended() <= TrafficLog::kMaxFoldRows);
    if (rowBytes > maxBytes)
        QCOMPARE(log.rowCount(), 1);
    else
        QVERIFY2(log.bytesUsed() <= maxBytes && log.bytesUsed() > maxBytes / 2,
                 qPrintable(QString::number(log.bytesUsed())));
}

// A reply of kilobytes shows its start; a saved or copied line has every byte and all its text.
void tst_TrafficLog::longReplyShownShortSavedWhole() {
    QByteArray reply;
    for (int i = 0; i < 5000; ++i)
        reply += char(i % 7 == 6 ? '\r' : 'a' + i % 26);
    TrafficLog log;
    log.append(base(), Direction::FromBoard, reply);
    const TrafficRow& row = log.entry(0).first();
    for (const QString& shown : {row.meaning, engine::shownHexText(row.bytes)})
        QVERIFY2(shown.size() < 400 && shown.endsWith(QStringLiteral("… (5000 bytes)")),
                 qPrintable(shown));
    QCOMPARE(engine::textLine(row), "14:03:07.125  <-  " + engine::hexText(reply) + "  \"" +
                                        QString::fromLatin1(reply).replace(u'\r', "<CR>") + '"');
}

void tst_TrafficLog::files() {
    TrafficLog log(4);
    appendAll(log,
              rowsOf("0 > 49 44 | 40 < 45!, \"ok\"\\r | 61 > 26 48 69 0D | 62 > 1F 01 0A 14 64 "
                     "3C | 1075 > 03 3C"));
    QCOMPARE(engine::trafficFile(log, engine::TrafficFileFormat::Text,
                                 [](const TrafficRow&) { return true; }),
             QStringLiteral(
                 "# The oldest row was dropped; the monitor keeps the latest, up to 4 "
                 "rows in 24 MB.\n"
                 "2024-05-02 14:03:07.165  <-  34 35 21 2C 20 22 6F 6B 22 0D  \"45!, \"ok\"<CR>\"\n"
                 "2024-05-02 14:03:07.186  ->  26 48 69 0D        BeginString \"Hi\"\n"
                 "2024-05-02 14:03:07.187  ->  1F 01 0A 14 64 3C  DrawLineRect Outline 10 20 100 "
                 "60\n"
                 "2024-05-02 14:03:08.200  ->  03 3C              PutPattern 0x3C\n"));
    QCOMPARE(engine::trafficFile(log, engine::TrafficFileFormat::Csv,
                                 [](const TrafficRow& row) {
                                     return row.direction == Direction::FromBoard ||
                                            row.bytes.startsWith('\x26');
                                 }),
             QStringLiteral(
                 "time,direction,bytes,meaning\n"
                 "2024-05-02 14:03:07.165,from board,34 35 21 2C 20 22 6F 6B 22 0D,"
                 "\"\"\"45!, \"\"ok\"\"<CR>\"\"\"\n"
                 "2024-05-02 14:03:07.186,to board,26 48 69 0D,\"BeginString \"\"Hi\"\"\"\n"));
    QCOMPARE(engine::verboseLine(Direction::FromBoard, log.entry(0).first().meaning),
             QStringLiteral("<- \"45!, \"ok\"<CR>\""));
}

void tst_TrafficLog::script_data() {
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QStringList>("lines");
    auto row = [](const char* name, const char* rows, QStringList lines) {
        QTest::newRow(name) << QString::fromLatin1(rows) << lines;
    };
    row("detection, echo and replies", "0 > 49 44 | 40 < 45! | 60 > 10 2D | 300 < x",
        {"# 14:03:07.125", "# identify (the connection's detection; vantrelctl detects by itself)", "contrast 45"});
    row("words of the window's messages",
        "0 > 01 10 | 0 > 01 0F | 0 > 09 01 | 0 > 09 00 | 0 > 0D 01 | 0 > 0D 00 | 0 > 0B 06 |"
        "0 > 0F 08 | 0 > 0F 00 | 0 > 10 00 | 0 > 10 7F | 0 > 11 05 | 0 > 11 CB | 0 > 08 01 |"
        "0 > 1D 0F | 0 > 27 00 | 0 > 27 01 | 0 > 05 00 | 0 > 05 01 | 0 > 1C 01 | 0 > 1C 02 |"
        "0 > 19 01 | 0 > 1A 01 | 0 > 1B 03 01 02 | 0 > 1B 64 CA CB",
        {"# 14:03:07.125", "clear",
         "clear 15",       "backlight on",
         "backlight off",  "lcd on",
         "lcd off",        "mode 6",
         "baud 115200",    "baud 2400",
         "contrast 0",     "contrast 127",
         "save 5",         "save 203",
         "load 1",         "flip 15",
         "rotate 0",       "rotate 180",
         "touch off",      "touch coordinates",
         "touch keypad",   "touch keypad-flip",
         "calibrate",      "restore-calibration",
         "animate 3 1 2",  "animate 100 202 203"});
    row("figures of the Coordinates page",
        "0 > 1F 00 01 02 03 04 | 0 > 1F 01 0A 14 64 3C | 0 > 1F 02 00 00 FF FF |"
        "0 > 1E 00 01 02 03 04 | 0 > 1E 01 01 02 03 04 | 0 > 1E 02 01 02 03 04 |"
        "0 > 1E 03 01 02 03 04 | 0 > 21 14 50 40 | 0 > 20 14 50 40 | 0 > 0A 01 | 0 > 9F 7F",
        {"# 14:03:07.125", "line 1 2 3 4", "rect 10 20 100 60", "fill 0 0 255 255",
         "line 1 2 3 4 --clear", "rect 1 2 3 4 --clear", "fill 1 2 3 4 --clear", "reverse 1 2 3 4",
         "circle 20 80 64", "circle 20 80 64 --clear", "pixel 159 127"});
    row("typed characters are text; messages without a word are raw, named in a comment",
        "0 > 02 48 | 1 > 02 69 | 2 > 15 02 | 3 > 06 03 12 09 | 4 > 26 48 | 5 > 69 | 6 > 0D",
        {"# 14:03:07.125", "text \"Hi\"",
         "# SelectFont 2; SetPage 3; SetColumn 9; BeginString \"Hi\"",
         "raw 15 02 06 03 12 09 26 48 69 0D"});
    row("out of range and unknown bytes stay raw",
        "0 > 01 11 | 0 > 0B 07 | 0 > 10 80 | 0 > 11 04 | 0 > 08 00 | 0 > 1F 03 01 02 03 04 |"
        "0 > 0F 09 | 0 > 0A 02 05 07 | 0 > 99 | 0 > 00 | 0 > 27 02",
        {"# 14:03:07.125",
         "# ClearDisplay 0x11 (page out of range 0..16); SetDisplayMode 0x07 (mode out of range "
         "0..6); SetContrast 0x80 (contrast out of range 0..127); SaveScreen 4; LoadScreen 0x00 "
         "(screen out of range 1..203); DrawLineRect Reversed 1 2 3 4; "
         "SetBaudRate 0x09 (rate index out of range 0..8); DrawPixel 0x02 5 7 (prefix out of "
         "range 1..1); unknown 0x99; unknown 0x00; SetRotation 0x02 (rotation out of range 0..1)",
         "raw 01 11 0B 07 10 80 11 04 08 00 1F 03 01 02 03 04 0F 09 0A 02 05 07 99 "
         "00 27 02"});
    row("an upload as pattern lines of a page each",
        "0 > 05 00 | 20 > 06 00 | 21 > 12 00 | 22 > 03 00 | 23 > 03 FF | 24 > 03 3C",
        {"# 14:03:07.125", "touch off", "# SetPage 0; SetColumn 0", "raw 06 00 12 00",
         "pattern 0,255,60"});
    row("pauses are comments and split runs",
        "0 > 03 01 | 1 > 03 02 | 1001 > 03 03 | 1002 > 02 41 | 3502 > 02 42 | 3503 > 10 05",
        {"# 14:03:07.125", "pattern 1,2", "# 14:03:08.126, 1.000 s later", "pattern 3",
         "text \"A\"", "# 14:03:10.627, 2.500 s later", "text \"B\"", "contrast 5"});
    row("an unfinished message at the end stays raw", "0 > 10 05 | 1 > 1F 01 0A",
        {"# 14:03:07.125", "contrast 5", "# DrawLineRect, unfinished", "raw 1F 01 0A"});
    row("a string ends at 45 characters",
        "0 > 26 41414141414141414141414141414141414141414141414141414141414141414141414141414141"
        "4141414141 | 1 > 10 05",
        {"# 14:03:07.125", "# BeginString \"" + QString(45, u'A') + "\"",
         "raw 26 " + QString("41 ").repeated(44) + "41", "contrast 5"});
    row("only replies", "0 < 45!", {});
}

void tst_TrafficLog::script() {
    QFETCH(QString, rows);
    QFETCH(QStringList, lines);
    const QList<TrafficRow> written = rowsOf(rows);
    const QStringList script = ScriptWriter::lines(written);
    QCOMPARE(script, lines);
}

QTEST_APPLESS_MAIN(tst_TrafficLog)
#include "tst_trafficlog.moc"
