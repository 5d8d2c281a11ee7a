// Connection, detection, the receive path and the baud-rate change, on a fake port.
#include "panels/connection/ConnectionPanel.h"
#include "protocol/Messages.h"
#include "support/HexCompare.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

using State = ConnectionPanel::State;

class tst_ConnectionPanel : public QObject {
    Q_OBJECT
private slots:
    void answerTakesContrastOver();
    void answerAcceptance_data();
    void answerAcceptance();
    void answerInPieces();
    void lateExclamationIsDrainedUnseen();
    void noAnswerTimesOut();
    void openFailureIsCritical();
    void emptyPortListIsCritical();
    void secondPressWhileDetectingIsIgnored();
    void pollReplacesBothBoxes();
    void nothingShownFromFirstHalfSecond();
    void disconnectStopsPolling();
    void controlCharactersShowVisibly();
    void baudChangeReconnectsAtNewRate();
    void baudChangeCancelled();
    void baudChangeWithClosedPortShowsNothing();
    void baudChangeRefusesTypedRate();
    void baudChangeDuringDetection();
    void closingWhileDetecting();
    void unpluggedWhilePolling();
    void writeFailureDuringContrastEcho();
};

void tst_ConnectionPanel::answerTakesContrastOver() {
    WindowFixture f;
    f.connectWith("45!");
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Disconnect"));
    QCOMPARE(f.statusText(), QStringLiteral("Connected: COM1 9600,N,8,1"));
    QCOMPARE(f.find<QScrollBar>("HScroll1")->value(), 45);
    QCOMPARE(f.find<QLineEdit>("Text9")->text(), QStringLiteral("45"));
    COMPARE_HEX(f.port.writes, writesOf("49 44 | 10 2D"));
    QCOMPARE(f.find<QLineEdit>("Text17")->text(), QString());
    QVERIFY(f.find<QTimer>("Timer3")->isActive());
    QVERIFY(!f.find<QTimer>("Timer1")->isActive());
    QVERIFY(!f.find<QTimer>("Timer4")->isActive());
    QVERIFY(!f.find<QComboBox>("cboPort")->isEnabled());
    QVERIFY(!f.find<QComboBox>("cboBR")->isEnabled());
    QCOMPARE(f.connection()->state(), State::Settling);
    QVERIFY(f.dialogs.messages.isEmpty());
}

void tst_ConnectionPanel::answerAcceptance_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("contrast");
    QTest::newRow("six without bang") << QByteArray("6") << true << 0;
    QTest::newRow("64 without bang") << QByteArray("64") << true << 0;
    QTest::newRow("letters then bang") << QByteArray("abc!") << true << 0;
    QTest::newRow("above 127") << QByteArray("200!") << true << 0;
    QTest::newRow("negative") << QByteArray("-5!") << true << 0;
    QTest::newRow("blanks round digits") << QByteArray(" 32 !") << true << 32;
    QTest::newRow("127 at the top") << QByteArray("127!") << true << 127;
    QTest::newRow("two bangs") << QByteArray("12!34!") << true << 12;
    QTest::newRow("huge number") << QByteArray("99999999999!") << true << 0;
    QTest::newRow("no accepting character") << QByteArray("OK") << false << 0;
    QTest::newRow("binary noise") << QByteArray("\x00\xff\x80", 3) << false << 0;
}

void tst_ConnectionPanel::answerAcceptance() {
    QFETCH(QByteArray, reply);
    QFETCH(bool, accepted);
    QFETCH(int, contrast);
    WindowFixture f;
    f.connectWith(reply);
    QCOMPARE(f.connection()->state(), accepted ? State::Settling : State::Detecting);
    QCOMPARE(f.find<QScrollBar>("HScroll1")->value(), contrast);
    QCOMPARE(f.find<QLineEdit>("Text9")->text(), QString::number(contrast));
    QList<QByteArray> expected{bytesOf("49 44")};
    if (contrast)
        expected << protocol::setContrast(std::uint8_t(contrast));
    COMPARE_HEX(f.port.writes, expected);
    if (!accepted) {
        QVERIFY(f.find<QTimer>("Timer4")->isActive()); // still waiting
        QCOMPARE(f.find<QLineEdit>("Text17")->text(), ConnectionPanel::replyText(reply));
    }
}

void tst_ConnectionPanel::answerInPieces() {
    WindowFixture f;
    f.connectWith("4");
    QCOMPARE(f.connection()->state(), State::Detecting);
    QCOMPARE(f.find<QLineEdit>("Text17")->text(), QStringLiteral("4"));
    f.port.receive("5!");
    f.connection()->Timer4_Timer();
    QCOMPARE(f.connection()->state(), State::Settling);
    QCOMPARE(f.find<QScrollBar>("HScroll1")->value(), 45);
    COMPARE_HEX(f.port.writes, writesOf("49 44 | 10 2D"));
}

void tst_ConnectionPanel::lateExclamationIsDrainedUnseen() {
    WindowFixture f;
    f.connectWith("46");
    QCOMPARE(f.connection()->state(), State::Settling);
    QCOMPARE(f.find<QScrollBar>("HScroll1")->value(), 0);
    f.port.receive("!");
    f.connection()->Timer3_Timer();
    QCOMPARE(f.connection()->state(), State::Polling);
    QVERIFY(f.find<QTimer>("Timer2")->isActive());
    f.connection()->Timer2_Timer();
    QCOMPARE(f.find<QLineEdit>("Text17")->text(), QString());
    QCOMPARE(f.find<QLineEdit>("Text14")->text(), QString());
    COMPARE_HEX(f.port.writes, writesOf("49 44"));
}

void tst_ConnectionPanel::noAnswerTimesOut() {
    WindowFixture f;
    f.connectWith("");
    f.connection()->Timer1_Timer();
    QCOMPARE(f.statusText(), QStringLiteral("Controller Disconnected "));
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Connect"));
    QVERIFY(f.find<QComboBox>("cboPort")->isEnabled());
    QVERIFY(f.find<QComboBox>("cboBR")->isEnabled());
    QVERIFY(!f.port.portOpen());
    for (const char* name : {"Timer1", "Timer2", "Timer3", "Timer4"})
        QVERIFY2(!f.find<QTimer>(name)->isActive(), name);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Controller not found"));
    QCOMPARE(f.dialogs.messages[0].style, MessageStyle::InformationOk);
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Demo mode"));
    COMPARE_HEX(f.port.writes, writesOf("49 44"));
    // A pause that was still due finds the port closed and reads nothing.
    const int reads = f.port.inputCount;
    f.connection()->Timer4_Timer();
    QCOMPARE(f.port.inputCount, reads);
}

void tst_ConnectionPanel::openFailureIsCritical() {
    WindowFixture f;
    f.port.failNextOpen(2, QStringLiteral("/dev/fake1: Permission denied"));
    f.find<QPushButton>("cmd_conecta")->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].text,
             QStringLiteral("Can't open the selected COM Port.\nError code: 2\n"
                            "Description: /dev/fake1: Permission denied"));
    QCOMPARE(f.dialogs.messages[0].style, MessageStyle::CriticalOk);
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Critical Error"));
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Connect"));
    QVERIFY(f.find<QComboBox>("cboPort")->isEnabled());
    QVERIFY(!f.port.portOpen());
    QVERIFY(f.port.writes.isEmpty());
    QVERIFY(!f.find<QTimer>("Timer1")->isActive());
}

void tst_ConnectionPanel::emptyPortListIsCritical() {
    WindowFixture f(QMap<int, QString>{});
    f.find<QPushButton>("cmd_conecta")->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.startsWith(
        QStringLiteral("Can't open the selected COM Port.\nError code: ")));
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Critical Error"));
    QCOMPARE(f.port.openCount, 0);
    QVERIFY(f.find<QComboBox>("cboBR")->isEnabled());
}

void tst_ConnectionPanel::secondPressWhileDetectingIsIgnored() {
    WindowFixture f;
    auto* button = f.find<QPushButton>("cmd_conecta");
    button->click();
    button->click();
    QCOMPARE(f.port.openCount, 1);
    COMPARE_HEX(f.port.writes, writesOf("49 44"));
    QCOMPARE(f.connection()->state(), State::Detecting);
}

void tst_ConnectionPanel::pollReplacesBothBoxes() {
    WindowFixture f;
    f.connectAndPoll();
    auto* text17 = f.find<QLineEdit>("Text17");
    auto* text14 = f.find<QLineEdit>("Text14");
    f.port.receive("abc");
    f.connection()->Timer2_Timer();
    QCOMPARE(text17->text(), QStringLiteral("abc"));
    QCOMPARE(text14->text(), QStringLiteral("abc"));
    f.port.receive("de");
    f.connection()->Timer2_Timer();
    QCOMPARE(text17->text(), QStringLiteral("de"));
    QCOMPARE(text14->text(), QStringLiteral("de"));
    f.connection()->Timer2_Timer(); // nothing came
    QCOMPARE(text17->text(), QStringLiteral("de"));
    QCOMPARE(text14->text(), QStringLiteral("de"));
    QVERIFY(f.port.writes.isEmpty());
}

void tst_ConnectionPanel::nothingShownFromFirstHalfSecond() {
    WindowFixture f;
    f.connectWith("45!");
    f.port.receive("echo of contrast");
    f.connection()->Timer3_Timer();
    f.connection()->Timer2_Timer();
    QCOMPARE(f.find<QLineEdit>("Text17")->text(), QString());
    QCOMPARE(f.find<QLineEdit>("Text14")->text(), QString());
    QVERIFY(!f.find<QTimer>("Timer3")->isActive());
}

void tst_ConnectionPanel::disconnectStopsPolling() {
    WindowFixture f;
    f.connectAndPoll();
    f.port.receive("last");
    f.connection()->Timer2_Timer();
    f.find<QPushButton>("cmd_conecta")->click();
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Connect"));
    QCOMPARE(f.statusText(), QStringLiteral("Controller Disconnected"));
    QVERIFY(!f.port.portOpen());
    QVERIFY(!f.find<QTimer>("Timer2")->isActive());
    QVERIFY(!f.find<QTimer>("Timer3")->isActive());
    QVERIFY(f.find<QComboBox>("cboPort")->isEnabled());
    QCOMPARE(f.find<QLineEdit>("Text17")->text(), QStringLiteral("last"));
    QVERIFY(f.port.writes.isEmpty());

    // Disconnecting within the first 500 ms leaves no drain behind either.
    f.connectWith("45!");
    QVERIFY(f.find<QTimer>("Timer3")->isActive());
    f.find<QPushButton>("cmd_conecta")->click();
    QVERIFY(!f.find<QTimer>("Timer3")->isActive());
    const int reads = f.port.inputCount;
    f.connection()->Timer3_Timer();
    QCOMPARE(f.port.inputCount, reads);
    QVERIFY(!f.find<QTimer>("Timer2")->isActive());
}

void tst_ConnectionPanel::controlCharactersShowVisibly() {
    QCOMPARE(ConnectionPanel::replyText(QByteArray("K1\r\n", 4)), QStringLiteral("K1\u240D\u240A"));
    QCOMPARE(ConnectionPanel::replyText(QByteArray("\x00\x7f", 2)), QStringLiteral("\u2400\u2421"));
    QCOMPARE(ConnectionPanel::replyText(QByteArray("\xE9\xFF")), QStringLiteral("\u00E9\u00FF"));
    // A long reply is shown whole.
    const QByteArray longReply(3000, 'x');
    QCOMPARE(ConnectionPanel::replyText(longReply).size(), 3000);
}

void tst_ConnectionPanel::baudChangeReconnectsAtNewRate() {
    WindowFixture f;
    f.connectAndPoll();
    f.find<QComboBox>("cmbBoudRate")->setCurrentIndex(4);
    f.find<QPushButton>("Command4")->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].text,
             QStringLiteral("Please remove jumper from J7 and click OK."));
    QCOMPARE(f.dialogs.messages[0].style, MessageStyle::WarningOkCancel);
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Attention"));
    COMPARE_HEX(f.port.writes, writesOf("0F 04"));
    QCOMPARE(f.port.writeSettings, QList<QString>{QStringLiteral("9600,N,8,1")});
    QVERIFY(!f.port.portOpen());
    QCOMPARE(f.find<QComboBox>("cboBR")->currentText(), QStringLiteral("19200"));
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Connect"));
    QCOMPARE(f.statusText(), QStringLiteral("Controller Disconnected "));
    QVERIFY(!f.find<QComboBox>("cboBR")->isEnabled());
    for (const char* name : {"Timer1", "Timer2", "Timer3", "Timer4"})
        QVERIFY2(!f.find<QTimer>(name)->isActive(), name);
    QVERIFY(f.find<QTimer>("BaudChangePause")->isActive());
    QCOMPARE(f.find<QTimer>("BaudChangePause")->interval(), ConnectionPanel::kBaudChangePauseMs);

    // Nothing goes out during the pause.
    f.find<QPushButton>("Command18")->click();
    f.find<QPushButton>("cmd_conecta")->click();
    COMPARE_HEX(f.port.writes, writesOf("0F 04"));

    f.connection()->BaudChangePause_Timer();
    COMPARE_HEX(f.port.writes, writesOf("0F 04 | 49 44"));
    QCOMPARE(f.port.writeSettings.last(), QStringLiteral("19200,N,8,1"));
    QCOMPARE(f.connection()->state(), State::Detecting);
    f.port.receive("45!");
    f.connection()->Timer4_Timer();
    QCOMPARE(f.statusText(), QStringLiteral("Connected: COM1 19200,N,8,1"));
}

void tst_ConnectionPanel::baudChangeCancelled() {
    WindowFixture f;
    f.connectAndPoll();
    f.dialogs.answers.enqueue(Answer::Cancel);
    f.find<QComboBox>("cmbBoudRate")->setCurrentIndex(8);
    f.find<QPushButton>("Command4")->click();
    QVERIFY(f.port.writes.isEmpty());
    QVERIFY(f.port.portOpen());
    QVERIFY(f.find<QTimer>("Timer2")->isActive());
    QCOMPARE(f.connection()->state(), State::Polling);
    QCOMPARE(f.find<QComboBox>("cboBR")->currentText(), QStringLiteral("9600"));
}

void tst_ConnectionPanel::baudChangeWithClosedPortShowsNothing() {
    WindowFixture f;
    f.find<QPushButton>("Command4")->click();
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(f.port.writes.isEmpty());
}

void tst_ConnectionPanel::baudChangeRefusesTypedRate() {
    WindowFixture f;
    f.connectAndPoll();
    auto* rate = f.find<QComboBox>("cmbBoudRate");
    rate->setEditText(QStringLiteral("12345"));
    f.find<QPushButton>("Command4")->click();
    QVERIFY(f.port.writes.isEmpty());
    QVERIFY(f.port.portOpen());
    QVERIFY(f.find<QTimer>("Timer2")->isActive());
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.contains(QStringLiteral("12345")));
    QVERIFY(f.dialogs.messages[0].text.contains(QStringLiteral("115200")));
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Error"));
}

void tst_ConnectionPanel::baudChangeDuringDetection() {
    WindowFixture f;
    f.connectWith("");
    QCOMPARE(f.connection()->state(), State::Detecting);
    f.find<QComboBox>("cmbBoudRate")->setCurrentIndex(0);
    f.find<QPushButton>("Command4")->click();
    QVERIFY(!f.find<QTimer>("Timer1")->isActive());
    QVERIFY(!f.find<QTimer>("Timer4")->isActive());
    const int reads = f.port.inputCount;
    f.connection()->Timer1_Timer(); // a tick that was already due changes nothing on the line
    f.connection()->Timer4_Timer();
    QCOMPARE(f.port.inputCount, reads);
    QVERIFY(!f.port.portOpen());
}

void tst_ConnectionPanel::closingWhileDetecting() {
    WindowFixture f;
    f.connectWith("");
    QVERIFY(f.port.portOpen());
    f.window->close();
    QVERIFY(!f.port.portOpen());
    for (const char* name : {"Timer1", "Timer2", "Timer3", "Timer4"})
        QVERIFY2(!f.find<QTimer>(name)->isActive(), name);
    COMPARE_HEX(f.port.writes, writesOf("49 44"));
    f.window.reset();
    QVERIFY(f.dialogs.messages.isEmpty());
}

void tst_ConnectionPanel::unpluggedWhilePolling() {
    WindowFixture f;
    f.connectAndPoll();
    f.port.loseDevice(QStringLiteral("Input/output error"));
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Connect"));
    QCOMPARE(f.statusText(), QStringLiteral("Controller Disconnected"));
    QVERIFY(f.find<QComboBox>("cboPort")->isEnabled());
    QVERIFY(!f.find<QTimer>("Timer2")->isActive());
    QTRY_COMPARE(f.dialogs.messages.size(), 1);
    const ShownMessage& shown = f.dialogs.messages[0];
    QCOMPARE(shown.title, QStringLiteral("Critical Error"));
    QVERIFY(shown.text.contains(QStringLiteral("/dev/fake1")));
    QVERIFY(shown.text.contains(QStringLiteral("Input/output error")));
    // A sender afterwards finds the port closed and says nothing more.
    f.find<QPushButton>("Command18")->click();
    QTest::qWait(0);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.port.writes.isEmpty());
}

void tst_ConnectionPanel::writeFailureDuringContrastEcho() {
    WindowFixture f;
    f.find<QPushButton>("cmd_conecta")->click();
    f.port.failWrites(QStringLiteral("No such device"));
    f.port.receive("45!");
    f.connection()->Timer4_Timer();
    QCOMPARE(f.connection()->state(), State::Disconnected);
    QVERIFY(!f.find<QTimer>("Timer3")->isActive());
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Connect"));
    QTRY_COMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.contains(QStringLiteral("No such device")));
}

QTEST_MAIN(tst_ConnectionPanel)
#include "tst_connectionpanel.moc"
