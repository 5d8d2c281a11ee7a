// The virtual board's finger (vantrel-board --touch-every): presses in order over the glass,
// and the reports reach the program's end of the line only while the touch screen reports.
#include "board/TouchFinger.h"
#include "board/VirtualBoard.h"

#include <QSerialPort>
#include <QTest>

class TestTouchFinger : public QObject {
    Q_OBJECT

private slots:
    void reportsOnTheLine_data() {
        QTest::addColumn<int>("mode"); // SetTouchMode's parameter
        QTest::addColumn<QByteArray>("expected");
        // Left to right along the top row, from the corner.
        QTest::newRow("coordinates") << 1 << QByteArray("X0Y0!X1Y0!X2Y0!");
        QTest::newRow("off") << 0 << QByteArray();
    }
    void reportsOnTheLine() {
        QFETCH(int, mode);
        QFETCH(QByteArray, expected);
        VirtualBoard board;
        QVERIFY2(board.open(), qPrintable(board.errorString()));
        QVERIFY(board.model().setTouchMode(mode));
        QSerialPort port(board.devicePath());
        port.setBaudRate(board.model().baud());
        QVERIFY(port.open(QIODevice::ReadWrite));

        TouchFinger finger(board);
        finger.start(10);
        QByteArray got;
        QTRY_VERIFY(finger.presses() >= 3);
        QTRY_VERIFY((got += port.readAll()).size() >= expected.size());
        QTest::qWait(50); // a report that should not come would be here by now
        got += port.readAll();
        QCOMPARE(got.left(expected.size()).toHex(' '), expected.toHex(' '));
        if (expected.isEmpty())
            QCOMPARE(got.toHex(' '), QByteArray());
    }

    void sweepsEveryPixelOfTheGlass() {
        // One sweep per row, back and forth: after 160 presses the second row starts at the
        // right edge.
        VirtualBoard board;
        QVERIFY(board.open());
        QVERIFY(board.model().setTouchMode(1));
        QSerialPort port(board.devicePath());
        port.setBaudRate(board.model().baud());
        QVERIFY(port.open(QIODevice::ReadWrite));
        TouchFinger finger(board);
        finger.start(10);
        QByteArray got;
        QTRY_VERIFY_WITH_TIMEOUT((got += port.readAll()).contains("X158Y1!"), 20000);
        QVERIFY(got.contains("X159Y0!X159Y1!X158Y1!"));
    }
};

QTEST_MAIN(TestTouchFinger)
#include "tst_touchfinger.moc"
