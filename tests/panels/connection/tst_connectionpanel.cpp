// What the user sees of the connection: captions, lists, status texts, response boxes and
// message boxes, on a fake port. The session's own steps are tested in tst_boardsession.
#include "engine/BoardSession.h"
#include "panels/connection/ConnectionPanel.h"
#include "protocol/Messages.h"
#include "support/HexCompare.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTest>

using engine::SessionState;

class tst_ConnectionPanel : public QObject {
    Q_OBJECT
private slots:
    void answerTakesContrastOver();
    void answerWithoutContrastLeavesItAlone_data();
    void answerWithoutContrastLeavesItAlone();
    void detectionShowsWhatArrived();
    void noAnswerTimesOutOnTheRealTimer();
    void openFailureIsCritical();
    void emptyPortListIsCritical_data();
    void emptyPortListIsCritical();
    void secondPressWhileDetectingIsIgnored();
    void pollReplacesBothBoxes();
    void disconnectStopsPolling();
    void controlCharactersReadable_data();
    void controlCharactersReadable();
    void baudChangeReconnectsAtNewRate();
    void baudChangeCancelled();
    void baudChangeWithClosedPortShowsNothing();
    void baudChangeRefusesTypedRate();
    void baudChangeDuringDetection();
    void closingWhileDetecting();
    void unpluggedWhilePolling();
    void unpluggedDuringUploadIsOneMessage();
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
    QVERIFY(!f.find<QComboBox>("cboPort")->isEnabled());
    QVERIFY(!f.find<QComboBox>("cboBR")->isEnabled());
    QVERIFY(f.dialogs.messages.isEmpty());
}

// The bar starts away from 0, so that a reset to 0 would show.
void tst_ConnectionPanel::answerWithoutContrastLeavesItAlone_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("six without bang") << QByteArray("6");
    QTest::newRow("letters then bang") << QByteArray("abc!");
    QTest::newRow("above 127") << QByteArray("200!");
    QTest::newRow("empty before bang") << QByteArray("!");
}

void tst_ConnectionPanel::answerWithoutContrastLeavesItAlone() {
    QFETCH(QByteArray, reply);
    WindowFixture f;
    f.find<QScrollBar>("HScroll1")->setValue(60);
    f.connectWith(reply);
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Disconnect"));
    QCOMPARE(f.find<QScrollBar>("HScroll1")->value(), 60);
    QCOMPARE(f.find<QLineEdit>("Text9")->text(), QStringLiteral("60"));
    COMPARE_HEX(f.port.writes, writesOf("49 44"));
}

void tst_ConnectionPanel::detectionShowsWhatArrived() {
    WindowFixture f;
    f.connectWith("4");
    QCOMPARE(f.find<QLineEdit>("Text17")->text(), QStringLiteral("4"));
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Connect"));
    f.port.receive("5!");
    f.connection()->Timer4_Timer();
    QCOMPARE(f.find<QLineEdit>("Text17")->text(), QString());
    QCOMPARE(f.find<QScrollBar>("HScroll1")->value(), 45);
}

// Through the window's own timers: the 1.5 s time-out ends the wait by itself.
void tst_ConnectionPanel::noAnswerTimesOutOnTheRealTimer() {
    WindowFixture f;
    f.find<QPushButton>("cmd_conecta")->click();
    QCOMPARE(f.window->session().state(), SessionState::Detecting);
    QTRY_COMPARE_WITH_TIMEOUT(f.dialogs.messages.size(), 1, 10000);
    QCOMPARE(f.dialogs.messages[0].text, QStringLiteral("Controller not found"));
    QCOMPARE(f.dialogs.messages[0].style, MessageStyle::InformationOk);
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Demo mode"));
    QCOMPARE(f.statusText(), QStringLiteral("Controller Disconnected "));
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Connect"));
    QVERIFY(f.find<QComboBox>("cboPort")->isEnabled());
    QVERIFY(f.find<QComboBox>("cboBR")->isEnabled());
    QVERIFY(!f.port.portOpen());
    for (const char* name : {"Timer1", "Timer2", "Timer3", "Timer4"})
        QVERIFY2(!f.find<QTimer>(name)->isActive(), name);
    COMPARE_HEX(f.port.writes, writesOf("49 44"));
}

void tst_ConnectionPanel::openFailureIsCritical() {
    WindowFixture f;
    f.port.failNextOpen(PortError::Permission, QStringLiteral("/dev/fake1: Permission denied"));
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
}

// With no port to choose, the box says why: a VANTREL_COM<n> that names a missing device is
// named, instead of advice to set it.
void tst_ConnectionPanel::emptyPortListIsCritical_data() {
    QTest::addColumn<QString>("variable"); // VANTREL_COM1, or empty
    QTest::addColumn<QString>("expected"); // in the description
    QTest::newRow("nothing set") << QString() << QStringLiteral("Set VANTREL_COM1");
    QTest::newRow("set to a missing path")
        << QStringLiteral("/nonexistent/board")
        << QStringLiteral("VANTREL_COM1 names /nonexistent/board, which does not exist");
}

void tst_ConnectionPanel::emptyPortListIsCritical() {
    QFETCH(QString, variable);
    QFETCH(QString, expected);
    WindowFixture f(QMap<int, QString>{});
    QProcessEnvironment environment;
    if (!variable.isEmpty())
        environment.insert(QStringLiteral("VANTREL_COM1"), variable);
    f.window.reset();
    f.window = std::make_unique<MainWindow>(
        f.port, f.dialogs,
        PortMap::build(environment, {}, [](const QString& path) { return QFile::exists(path); }));
    f.find<QPushButton>("cmd_conecta")->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.startsWith(
        QStringLiteral("Can't open the selected COM Port.\nError code: ")));
    QVERIFY2(f.dialogs.messages[0].text.contains(expected), qPrintable(f.dialogs.messages[0].text));
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
    QCOMPARE(f.window->session().state(), SessionState::Detecting);
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
    f.connection()->Timer2_Timer(); // nothing came
    QCOMPARE(text17->text(), QStringLiteral("de"));
    QCOMPARE(text14->text(), QStringLiteral("de"));
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
    QVERIFY(f.find<QComboBox>("cboPort")->isEnabled());
    QCOMPARE(f.find<QLineEdit>("Text17")->text(), QStringLiteral("last"));
    QVERIFY(f.port.writes.isEmpty());
}

// Every control code reads as a name that the box's own font can draw; printable Latin-1 reads
// as itself.
void tst_ConnectionPanel::controlCharactersReadable_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown");
    QTest::newRow("CR LF") << QByteArray("K1\r\n") << QStringLiteral("K1<CR><LF>");
    QTest::newRow("NUL and DEL") << QByteArray("\x00\x7f", 2) << QStringLiteral("<NUL><DEL>");
    QTest::newRow("ESC and US") << QByteArray("\x1b\x1f") << QStringLiteral("<ESC><US>");
    QTest::newRow("C1 codes") << QByteArray("\x80\x85\x9f") << QStringLiteral("<0x80><0x85><0x9F>");
    QTest::newRow("Latin-1 letters") << QByteArray("\xE9\xFF") << QStringLiteral("\u00E9\u00FF");
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    QTest::newRow("every byte") << all << QString();
}

void tst_ConnectionPanel::controlCharactersReadable() {
    QFETCH(QByteArray, reply);
    QFETCH(QString, shown);
    WindowFixture f;
    f.connectAndPoll();
    f.port.receive(reply);
    f.connection()->Timer2_Timer();
    auto* box = f.find<QLineEdit>("Text17");
    if (!shown.isNull())
        QCOMPARE(box->text(), shown);
    const QFontMetrics metrics(box->font());
    for (const QChar c : box->text())
        QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("U+%1 cannot be drawn in %2")
                                                   .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                                                   .arg(box->font().family())));
}

void tst_ConnectionPanel::baudChangeReconnectsAtNewRate() {
    WindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.connectAndPoll();
    f.find<QComboBox>("cmbBoudRate")->setCurrentIndex(4);
    f.find<QPushButton>("Command4")->setFocus();
    f.find<QPushButton>("Command4")->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].text,
             QStringLiteral("Please remove jumper from J7 and click OK."));
    QCOMPARE(f.dialogs.messages[0].style, MessageStyle::WarningOkCancel);
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Attention"));
    COMPARE_HEX(f.port.writes, writesOf("0F 04"));
    QCOMPARE(f.find<QComboBox>("cboBR")->currentText(), QStringLiteral("19200"));
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Connect"));
    QVERIFY(!f.find<QPushButton>("cmd_conecta")->isEnabled());
    QCOMPARE(f.statusText(), QStringLiteral("Controller Disconnected "));
    QVERIFY(!f.find<QComboBox>("cboBR")->isEnabled());

    // Nothing goes out during the pause.
    f.find<QPushButton>("Command18")->click();
    COMPARE_HEX(f.port.writes, writesOf("0F 04"));

    f.connection()->BaudChangePause_Timer();
    QVERIFY(f.find<QPushButton>("cmd_conecta")->isEnabled());
    QVERIFY(f.find<QPushButton>("cmd_conecta")->hasFocus());
    f.port.receive("45!");
    f.connection()->Timer4_Timer();
    QCOMPARE(f.statusText(), QStringLiteral("Connected: COM1 19200,N,8,1"));
    COMPARE_HEX(f.port.writes, writesOf("0F 04 | 49 44")); // the bar already held 45
}

void tst_ConnectionPanel::baudChangeCancelled() {
    WindowFixture f;
    f.connectAndPoll();
    f.dialogs.answers.enqueue(Answer::Cancel);
    f.find<QComboBox>("cmbBoudRate")->setCurrentIndex(8);
    f.find<QPushButton>("Command4")->click();
    QVERIFY(f.port.writes.isEmpty());
    QCOMPARE(f.window->session().state(), SessionState::Polling);
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
    f.find<QComboBox>("cmbBoudRate")->setEditText(QStringLiteral("12345"));
    f.find<QPushButton>("Command4")->click();
    QVERIFY(f.port.writes.isEmpty());
    QCOMPARE(f.window->session().state(), SessionState::Polling);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].text.contains(QStringLiteral("12345")));
    QVERIFY(f.dialogs.messages[0].text.contains(QStringLiteral("115200")));
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Error"));
}

// While detecting the port is open, so the change goes ahead: the old detection ends, and the
// new one starts at the new rate after the pause.
void tst_ConnectionPanel::baudChangeDuringDetection() {
    WindowFixture f;
    f.connectWith("");
    f.find<QComboBox>("cmbBoudRate")->setCurrentIndex(0);
    f.find<QPushButton>("Command4")->click();
    QCOMPARE(f.window->session().state(), SessionState::BaudChangePause);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Attention"));
    COMPARE_HEX(f.port.writes, writesOf("49 44 | 0F 00"));
    QVERIFY(!f.port.portOpen());
    QVERIFY(!f.find<QTimer>("Timer1")->isActive());
    QVERIFY(!f.find<QPushButton>("cmd_conecta")->isEnabled());

    f.connection()->BaudChangePause_Timer();
    QCOMPARE(f.window->session().state(), SessionState::Detecting);
    QVERIFY(f.find<QPushButton>("cmd_conecta")->isEnabled());
    COMPARE_HEX(f.port.writes, writesOf("49 44 | 0F 00 | 49 44"));
    QCOMPARE(f.port.writeSettings.last(), QStringLiteral("2400,N,8,1"));
    QCOMPARE(f.dialogs.messages.size(), 1);
}

void tst_ConnectionPanel::closingWhileDetecting() {
    WindowFixture f;
    f.connectWith("");
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

// Pulled mid-upload: one box, naming the device and how far the picture got.
void tst_ConnectionPanel::unpluggedDuringUploadIsOneMessage() {
    WindowFixture f;
    f.window->show();
    f.connectAndPoll();
    f.find<QPushButton>("Command3")->click();
    QTRY_VERIFY(f.port.writes.size() > 10);
    f.port.failWrites(QStringLiteral("adapter unplugged"));
    QTRY_VERIFY(!f.window->session().uploading());
    QTRY_COMPARE(f.dialogs.messages.size(), 1);
    QTest::qWait(0);
    QCOMPARE(f.dialogs.messages.size(), 1);
    const QString text = f.dialogs.messages[0].text;
    const int sent = int(f.port.writes.size()) - engine::BoardSession::kSetupMessages;
    QVERIFY2(text.contains(QStringLiteral("/dev/fake1")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("adapter unplugged")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("after %1 of 2560 bytes").arg(sent)), qPrintable(text));
    QCOMPARE(f.find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Connect"));
}

QTEST_MAIN(tst_ConnectionPanel)
#include "tst_connectionpanel.moc"
