// A session saved as a script by the traffic monitor, replayed through `vantrelctl --dry-run`:
// the command line must print exactly the bytes that were written, in order. The session's
// detection queries are comments in the script; the command line sends its own at the same
// points (at the start and after a baud-rate change).
//
// The test needs the vantrelctl program; the build names it in VANTRELCTL_PATH when it is part
// of the tree, and the test is skipped otherwise.

#include "engine/ScriptWriter.h"
#include "support/HexCompare.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using engine::Direction;
using engine::TrafficRow;

namespace {

#ifdef VANTRELCTL_PATH
const QString kVantrelctl = QStringLiteral(VANTRELCTL_PATH);
#else
const QString kVantrelctl;
#endif

// Writes from a text of hex writes separated by "|", each "+MS" later than the one before.
QList<TrafficRow> writesOf(const QString& text) {
    QList<TrafficRow> rows;
    qint64 time = 1'700'000'000'000;
    for (const QString& part : text.split(u'|', Qt::SkipEmptyParts)) {
        QString hex = part.trimmed();
        if (hex.startsWith(u'+')) {
            time += hex.section(u' ', 0, 0).mid(1).toLongLong();
            hex = hex.section(u' ', 1);
        }
        rows << TrafficRow{time, Direction::ToBoard, QByteArray::fromHex(hex.toLatin1()), {}};
    }
    return rows;
}

// The bytes of a dry run: on each line, the longest run of two-digit hex tokens.
QByteArray bytesOfDryRun(const QString& output) {
    static const QRegularExpression byteToken(QStringLiteral("^(0x)?[0-9A-Fa-f]{2}$"));
    QByteArray bytes;
    for (const QString& line : output.split(u'\n')) {
        QByteArray best;
        QByteArray run;
        for (const QString& token : line.split(u' ', Qt::SkipEmptyParts)) {
            if (byteToken.match(token).hasMatch()) {
                run += QByteArray::fromHex(token.right(2).toLatin1());
                continue;
            }
            if (run.size() > best.size())
                best = run;
            run.clear();
        }
        bytes += run.size() > best.size() ? run : best;
    }
    return bytes;
}

} // namespace

class tst_ScriptReplay : public QObject {
    Q_OBJECT
private slots:
    void replay_data();
    void replay();
};

void tst_ScriptReplay::replay_data() {
    QTest::addColumn<QString>("writes");
    QTest::addColumn<QStringList>("lines"); // script lines that must be there, as words
    QTest::newRow("connection, text and drawing")
        << "49 44 | +40 10 2D | +2000 02 48 | +150 02 69 | +2000 15 02 | 06 03 | 12 09 |"
           "+1500 26 48 | 69 | 0D | +3000 1F 01 0A 14 64 3C | 1E 03 00 00 9F 7F | 21 14 50 40 |"
           "20 14 50 40 | 0A 01 | 05 07 | 1F 00 01 02 03 04 | 1E 02 01 02 03 04"
        << QStringList{"text \"Hi\"", "rect 10 20 100 60", "reverse 0 0 159 127"};
    QTest::newRow("typed text in a font, a rectangle and a picture")
        << "49 44 | 15 03 | 02 41 | 02 22 | 02 5C | 02 E9 | 02 2D | +10 15 02 | 02 2D | 02 78 |"
           "1F 01 02 02 9D 7D | 05 00 | +20 06 00 | +1 12 00 | 03 FF | 03 00"
        << QStringList{"text \"A\\\"\\\\é-\" --font 3", "rect 2 2 157 125", "pattern 255,0"};
    QTest::newRow("display, memory, touch and rate")
        << "49 44 | 01 10 | 01 05 | 09 01 | 09 00 | 0D 00 | 0D 01 | 0B 03 | 1D 07 | 27 01 |"
           "27 00 | 11 0A | 08 0A | 08 02 | 11 02 | 1B 03 01 02 | 1B 64 05 CB | 05 01 | 05 00 |"
           "1C 01 | 1C 02 | 19 01 | 1A 01 | 0F 04 | +300 49 44"
        << QStringList{"baud 19200"};
    QString upload = QStringLiteral("49 44 | 05 00 | +20 06 00 | +1 12 00");
    for (int i = 0; i < 2560; ++i)
        upload += QStringLiteral(" | 03 %1").arg(i * 13 % 256, 2, 16, QLatin1Char('0'));
    QTest::newRow("picture upload") << upload << QStringList{"touch off"};
    QTest::newRow("bytes no word sends")
        << "49 44 | 99 | 00 | 10 80 | 0B 07 | 1F 03 01 02 03 04 | 1B 02 01 02 | 27 02 |"
           "26 22 5C 0D | 1F 01"
        << QStringList{};
}

void tst_ScriptReplay::replay() {
    if (kVantrelctl.isEmpty())
        QSKIP("vantrelctl is not part of this build");
    QFETCH(QString, writes);
    QFETCH(QStringList, lines);
    const QList<TrafficRow> rows = writesOf(writes);
    QByteArray written;
    for (const TrafficRow& row : rows)
        written += row.bytes;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
    const QStringList script = engine::ScriptWriter::lines(rows);
    for (const QString& line : lines)
        QVERIFY2(script.contains(line), qPrintable(script.join(u'\n')));
    file.write(script.join(u'\n').toUtf8() + '\n');
    file.close();

    QProcess ctl;
    ctl.start(kVantrelctl, {QStringLiteral("--dry-run"), QStringLiteral("script"), path});
    QVERIFY2(ctl.waitForFinished(60'000), qPrintable(ctl.errorString()));
    const QString errors = QString::fromLocal8Bit(ctl.readAllStandardError());
    QVERIFY2(ctl.exitStatus() == QProcess::NormalExit && ctl.exitCode() == 0,
             qPrintable(QStringLiteral("exit %1: %2").arg(ctl.exitCode()).arg(errors)));
    COMPARE_HEX(bytesOfDryRun(QString::fromLocal8Bit(ctl.readAllStandardOutput())), written);
}

QTEST_GUILESS_MAIN(tst_ScriptReplay)
#include "tst_scriptreplay.moc"
