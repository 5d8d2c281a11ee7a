// The folding of the board's log: which lines fold, how a fold reads, and the flood limit. Each
// row is a sequence of lines (with "<flush>" and "<quiet>" for the owner's calls) and the log it
// must give.

#include "board/LogFolder.h"

#include <QStringList>
#include <QTest>

namespace {

constexpr auto kFlush = "<flush>";
constexpr auto kQuiet = "<quiet>";

QStringList run(const QStringList& in) {
    QStringList out;
    LogFolder folder([&](const std::string& line) { out << QString::fromStdString(line); });
    for (const QString& line : in) {
        if (line == QLatin1String(kFlush))
            folder.flush();
        else if (line == QLatin1String(kQuiet))
            folder.quiet();
        else
            folder.add(line.toStdString());
    }
    folder.quiet();
    return out;
}

// n lines that never fold: every second one of another shape, each with a number.
QStringList unfoldable(int n) {
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines << (i % 2 == 0 ? QStringLiteral("PutChar 0x41 'A'")
                             : QStringLiteral("SelectFont 2 (14 pixel)"));
    return lines;
}

} // namespace

class TestLogFolder : public QObject {
    Q_OBJECT

private slots:
    void folds_data() {
        QTest::addColumn<QStringList>("in");
        QTest::addColumn<QStringList>("out");
        const QString unknown99 = QStringLiteral("unknown command byte 0x99, skipped");
        const QString page3 = QStringLiteral("SetPage 3");

        QTest::newRow("one line") << QStringList{page3} << QStringList{page3};
        QTest::newRow("the same line, with a count")
            << QStringList{unknown99, unknown99, unknown99}
            << QStringList{QStringLiteral("unknown command byte 0x99, skipped (x3)")};
        QTest::newRow("lines differing in numbers: first ... last")
            << QStringList{"PutPattern 0x00 at page 0, column 0",
                           "PutPattern 0x1F at page 0, column 1",
                           "PutPattern 0xFF at page 15, column 159"}
            << QStringList{"PutPattern 0x00 at page 0, column 0 ... 0xFF at page 15, column 159 "
                           "(x3)"};
        QTest::newRow("a longer number")
            << QStringList{"SetPage 1", "SetPage 10"} << QStringList{"SetPage 1 ... 10 (x2)"};
        QTest::newRow("a shorter number")
            << QStringList{"SetPage 10", "SetPage 1"} << QStringList{"SetPage 10 ... 1 (x2)"};
        QTest::newRow("another line ends the fold")
            << QStringList{unknown99, unknown99, page3, unknown99, unknown99}
            << QStringList{unknown99 + " (x2)", page3, unknown99 + " (x2)"};
        QTest::newRow("other characters do not fold")
            << QStringList{"PutChar 0x48 'H'", "PutChar 0x49 'I'"}
            << QStringList{"PutChar 0x48 'H'", "PutChar 0x49 'I'"};
        QTest::newRow("ignored and carried out do not fold")
            << QStringList{page3, "SetPage 200: out of range, ignored"}
            << QStringList{page3, "SetPage 200: out of range, ignored"};
        QTest::newRow("more numbers do not fold")
            << QStringList{"DrawPixel 10,20", "DrawPixel 0x02 10,20: out of range, ignored"}
            << QStringList{"DrawPixel 10,20", "DrawPixel 0x02 10,20: out of range, ignored"};
        QTest::newRow("a number where text was does not fold")
            << QStringList{"line settings: 9600 baud", "line settings: x baud"}
            << QStringList{"line settings: 9600 baud", "line settings: x baud"};
        QTest::newRow("a flush writes the fold; the same line then starts anew")
            << QStringList{unknown99, unknown99, kFlush, unknown99}
            << QStringList{unknown99 + " (x2)", unknown99};

        // The flood limit.
        const int burst = LogFolder::kBurstLines;
        QTest::newRow("a burst of lines is written whole")
            << unfoldable(burst) << unfoldable(burst);
        QTest::newRow("beyond the burst, lines are counted by kind")
            << unfoldable(burst + 5)
            << unfoldable(burst) + QStringList{"flood: 5 line(s) not logged (PutChar x3, "
                                               "SelectFont x2)"};
        QTest::newRow("a fold beyond the burst counts all its lines")
            << unfoldable(burst) + QStringList{unknown99, unknown99, unknown99, page3}
            << unfoldable(burst) +
                   QStringList{"flood: 4 line(s) not logged (unknown command byte x3, SetPage x1)"};
        QTest::newRow("the flood line names the three most frequent kinds")
            << unfoldable(burst) + QStringList{"A 1", "B 1", "C 1", "B 2", "D 1", "C 2", "B 3"}
            << unfoldable(burst) +
                   QStringList{"flood: 7 line(s) not logged (B x3, C x2, A x1, ...)"};
        QTest::newRow("a flush during the flood writes the count; the limit holds")
            << unfoldable(burst) + QStringList{page3, kFlush, "SetColumn 4"}
            << unfoldable(burst) + QStringList{"flood: 1 line(s) not logged (SetPage x1)",
                                               "flood: 1 line(s) not logged (SetColumn x1)"};
        QTest::newRow("a quiet moment ends the flood")
            << unfoldable(burst) + QStringList{page3, kQuiet, "SetColumn 4"}
            << unfoldable(burst) +
                   QStringList{"flood: 1 line(s) not logged (SetPage x1)", "SetColumn 4"};
    }
    void folds() {
        QFETCH(QStringList, in);
        QFETCH(QStringList, out);
        const QStringList got = run(in);
        if (got != out) {
            // The first difference, rather than two lists of a thousand lines.
            qsizetype i = 0;
            while (i < got.size() && i < out.size() && got[i] == out[i])
                ++i;
            qWarning("line %lld: got \"%s\", expected \"%s\"", qlonglong(i),
                     qPrintable(got.value(i, QStringLiteral("<none>"))),
                     qPrintable(out.value(i, QStringLiteral("<none>"))));
        }
        QCOMPARE(got, out);
    }
};

QTEST_APPLESS_MAIN(TestLogFolder)
#include "tst_logfolder.moc"
