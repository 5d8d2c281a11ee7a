// The real serial path end to end: the main window on QtSerialPort, a pseudo-terminal, and a
// small scripted board on the other end.
#include "app/MainWindow.h"
#include "transport/QtSerialPort.h"
#include "support/HexCompare.h"
#include "support/PtyPair.h"
#include "support/RecordingDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

class tst_ConnectionPty : public QObject {
    Q_OBJECT
private slots:
    void connectsTakesContrastAndShowsReply();
};

void tst_ConnectionPty::connectsTakesContrastAndShowsReply() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(1));
    RecordingDialogs dialogs;
    MainWindow window(port, dialogs, pty.portMap(1));
    auto* connect = window.findChild<QPushButton*>(QStringLiteral("cmd_conecta"));

    connect->click();
    COMPARE_HEX(pty.readFromPort(2), bytesOf("49 44"));
    QCOMPARE(pty.lineSettings().baud, 9600);
    QVERIFY(pty.writeToPort("45!"));

    QTRY_COMPARE(connect->text(), QStringLiteral("Disconnect"));
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("StatusPanel1"))->text(),
             QStringLiteral("Connected: COM1 9600,N,8,1"));
    QCOMPARE(window.findChild<QScrollBar*>(QStringLiteral("HScroll1"))->value(), 45);
    QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("Text9"))->text(), QStringLiteral("45"));
    COMPARE_HEX(pty.readFromPort(2), bytesOf("10 2D"));

    // Once the receive path polls, a reply shows in both boxes.
    auto* text17 = window.findChild<QLineEdit*>(QStringLiteral("Text17"));
    auto* text14 = window.findChild<QLineEdit*>(QStringLiteral("Text14"));
    QTRY_VERIFY(window.findChild<QTimer*>(QStringLiteral("Timer2"))->isActive());
    QVERIFY(pty.writeToPort(QByteArray("K1\xE9", 3)));
    QTRY_COMPARE(text17->text(), QStringLiteral("K1\u00E9"));
    QCOMPARE(text14->text(), QStringLiteral("K1\u00E9"));

    connect->click();
    QVERIFY(!port.portOpen());
    QVERIFY(dialogs.messages.isEmpty());
    QVERIFY(pty.readAvailable().isEmpty());
}

QTEST_MAIN(tst_ConnectionPty)
#include "tst_connectionpty.moc"
