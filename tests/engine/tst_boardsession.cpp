// The board session on a fake port: detection, the receive path, the baud-rate change and the
// picture upload, step by step, without widgets.

#include "engine/BoardSession.h"
#include "protocol/Messages.h"
#include "support/FakeSerialPort.h"
#include "support/HexCompare.h"

#include <QSignalSpy>
#include <QTimer>
#include <QTest>

using engine::BoardSession;
using engine::SessionState;
using engine::UploadEnding;

Q_DECLARE_METATYPE(SessionState)

namespace {

const protocol::LineSettings k9600 = *protocol::LineSettings::ofRateIndex(2);

struct Session {
    Session() {
        session.setClock([this] { return now; });
    }
    QTimer* timer(const char* name) const {
        return session.findChild<QTimer*>(QString::fromLatin1(name));
    }
    // Connects and lets the board answer `reply` at the first pause.
    void connectWith(const QByteArray& reply) {
        session.connectTo(1, k9600);
        port.receive(reply);
        session.detectionPauseTick();
    }
    void connectAndPoll() {
        connectWith("45!");
        session.settleTick();
        port.clearWrites();
    }
    // Runs the upload's steps until it ends, `stepNs` of the clock apart.
    void runUpload(std::int64_t stepNs = 1'000'000) {
        for (int i = 0; i < 1'000'000 && session.uploading(); ++i) {
            now += stepNs;
            session.uploadTick();
        }
    }

    FakeSerialPort port;
    BoardSession session{port};
    std::int64_t now = 1'000'000'000;
};

BoardSession::Screen screenOf(std::uint8_t first) {
    BoardSession::Screen screen;
    for (std::size_t i = 0; i < screen.size(); ++i)
        screen[i] = std::uint8_t(first + i);
    return screen;
}

QList<QByteArray> uploadOf(const BoardSession::Screen& screen, qsizetype count) {
    QList<QByteArray> writes = writesOf("05 00 | 06 00 | 12 00");
    for (qsizetype i = 0; i < count; ++i)
        writes << protocol::putPattern(screen[std::size_t(i)]);
    return writes;
}

} // namespace

class tst_BoardSession : public QObject {
    Q_OBJECT
private slots:
    void detection_data();
    void detection();
    void answerInPiecesAndLateBang();
    void noAnswerTimesOut();
    void openFailureChangesNothing();
    void strayTicksChangeNothing_data();
    void strayTicksChangeNothing();
    void pollShowsWhatCame();
    void disconnectWhileSettlingLeavesNoDrain();
    void baudChange();
    void baudChangeRefusals();
    void writeFailureDuringContrastEcho();
    void uploadSendsTheScreenWithPauses();
    void uploadRefusesOtherMessages();
    void portLostDuringUploadSaysHowFar();
};

void tst_BoardSession::detection_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("contrast"); // -1: none reported
    QTest::newRow("45 and bang") << QByteArray("45!") << true << 45;
    QTest::newRow("six without bang") << QByteArray("6") << true << -1;
    QTest::newRow("64 without bang") << QByteArray("64") << true << -1;
    QTest::newRow("letters then bang") << QByteArray("abc!") << true << -1;
    QTest::newRow("above 127") << QByteArray("200!") << true << -1;
    QTest::newRow("negative") << QByteArray("-5!") << true << -1;
    QTest::newRow("blanks round digits") << QByteArray(" 32 !") << true << 32;
    QTest::newRow("0 at the bottom") << QByteArray("0!") << true << 0;
    QTest::newRow("127 at the top") << QByteArray("127!") << true << 127;
    QTest::newRow("two bangs") << QByteArray("12!34!") << true << 12;
    QTest::newRow("huge number") << QByteArray("99999999999!") << true << -1;
    QTest::newRow("no accepting character") << QByteArray("OK") << false << -1;
    QTest::newRow("binary noise") << QByteArray("\x00\xff\x80", 3) << false << -1;
}

void tst_BoardSession::detection() {
    QFETCH(QByteArray, reply);
    QFETCH(bool, accepted);
    QFETCH(int, contrast);
    Session s;
    QSignalSpy detected(&s.session, &BoardSession::detected);
    QSignalSpy contrasts(&s.session, &BoardSession::contrastReported);
    s.connectWith(reply);
    COMPARE_HEX(s.port.writes, writesOf("49 44"));
    QCOMPARE(s.port.writeSettings.first(), QStringLiteral("9600,N,8,1"));
    QCOMPARE(s.session.state(), accepted ? SessionState::Settling : SessionState::Detecting);
    QCOMPARE(detected.count(), accepted ? 1 : 0);
    QCOMPARE(contrasts.count(), contrast >= 0 ? 1 : 0);
    if (contrast >= 0)
        QCOMPARE(contrasts.first().first().toInt(), contrast);
    QCOMPARE(s.timer("Timer3")->isActive(), accepted);
    QCOMPARE(s.timer("Timer4")->isActive(), !accepted);
    QCOMPARE(s.timer("Timer1")->isActive(), !accepted);
}

void tst_BoardSession::answerInPiecesAndLateBang() {
    Session s;
    QSignalSpy contrasts(&s.session, &BoardSession::contrastReported);
    s.connectWith("4");
    QCOMPARE(s.session.state(), SessionState::Detecting);
    QCOMPARE(s.session.detectionText(), QByteArray("4"));
    s.port.receive("5!");
    s.session.detectionPauseTick();
    QCOMPARE(s.session.state(), SessionState::Settling);
    QCOMPARE(contrasts.count(), 1);
    QCOMPARE(contrasts.first().first().toInt(), 45);

    // "46" is accepted at once; its late "!" is drained unseen.
    Session late;
    QSignalSpy replies(&late.session, &BoardSession::replyReceived);
    late.connectWith("46");
    QCOMPARE(late.session.state(), SessionState::Settling);
    late.port.receive("!");
    late.session.settleTick();
    late.session.pollTick();
    QCOMPARE(late.session.state(), SessionState::Polling);
    QCOMPARE(replies.count(), 0);
}

void tst_BoardSession::noAnswerTimesOut() {
    Session s;
    QSignalSpy timedOut(&s.session, &BoardSession::detectionTimedOut);
    s.connectWith("");
    s.session.detectionTimeoutTick();
    QCOMPARE(timedOut.count(), 1);
    QCOMPARE(s.session.state(), SessionState::Disconnected);
    QVERIFY(!s.port.portOpen());
    for (const char* name : {"Timer1", "Timer2", "Timer3", "Timer4"})
        QVERIFY2(!s.timer(name)->isActive(), name);
    COMPARE_HEX(s.port.writes, writesOf("49 44"));
}

void tst_BoardSession::openFailureChangesNothing() {
    Session s;
    QSignalSpy failed(&s.session, &BoardSession::openFailed);
    QSignalSpy states(&s.session, &BoardSession::stateChanged);
    s.port.failNextOpen(PortError::Permission, QStringLiteral("/dev/fake1: Permission denied"));
    QVERIFY(!s.session.connectTo(1, k9600));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.first().at(0).toInt(), 2);
    QCOMPARE(failed.first().at(1).toString(), QStringLiteral("/dev/fake1: Permission denied"));
    QCOMPARE(states.count(), 0);
    QVERIFY(s.port.writes.isEmpty());
    QVERIFY(!s.timer("Timer1")->isActive());
}

// A tick that arrives late, or in a state it does not belong to, changes nothing: no read, no
// write, no change of state, no signal.
void tst_BoardSession::strayTicksChangeNothing_data() {
    QTest::addColumn<SessionState>("state");
    QTest::addColumn<QString>("tick");
    const QList<std::pair<SessionState, const char*>> states{
        {SessionState::Disconnected, "disconnected"},
        {SessionState::Detecting, "detecting"},
        {SessionState::Settling, "settling"},
        {SessionState::Polling, "polling"},
        {SessionState::BaudChangePause, "baud change pause"}};
    const QMap<QString, SessionState> home{{"Timer1", SessionState::Detecting},
                                           {"Timer4", SessionState::Detecting},
                                           {"Timer3", SessionState::Settling},
                                           {"Timer2", SessionState::Polling},
                                           {"BaudChangePause", SessionState::BaudChangePause}};
    for (const auto& [state, name] : states)
        for (auto it = home.begin(); it != home.end(); ++it)
            if (it.value() != state)
                QTest::addRow("%s in %s", qPrintable(it.key()), name) << state << it.key();
}

void tst_BoardSession::strayTicksChangeNothing() {
    QFETCH(SessionState, state);
    QFETCH(QString, tick);
    Session s;
    switch (state) {
    case SessionState::Disconnected:
        break;
    case SessionState::Detecting:
        s.connectWith("");
        break;
    case SessionState::Settling:
        s.connectWith("45!");
        break;
    case SessionState::Polling:
        s.connectAndPoll();
        break;
    case SessionState::BaudChangePause:
        s.connectAndPoll();
        QVERIFY(s.session.changeBaudRate(4));
        break;
    case SessionState::Open:
        QVERIFY(s.session.openWithoutDetection(1, protocol::LineSettings{}));
        break;
    }
    QCOMPARE(s.session.state(), state);
    s.port.receive("6!"); // would be accepted, drained or shown by a tick that acted
    const int reads = s.port.inputCount;
    const auto writes = s.port.writes;
    const bool open = s.port.portOpen();
    QSignalSpy any(&s.session, &BoardSession::stateChanged);
    QSignalSpy replies(&s.session, &BoardSession::replyReceived);
    QSignalSpy timedOut(&s.session, &BoardSession::detectionTimedOut);
    if (tick == "Timer1")
        s.session.detectionTimeoutTick();
    else if (tick == "Timer2")
        s.session.pollTick();
    else if (tick == "Timer3")
        s.session.settleTick();
    else if (tick == "Timer4")
        s.session.detectionPauseTick();
    else
        s.session.baudChangePauseTick();
    QCOMPARE(s.session.state(), state);
    QCOMPARE(s.port.inputCount, reads);
    COMPARE_HEX(s.port.writes, writes);
    QCOMPARE(s.port.portOpen(), open);
    QCOMPARE(any.count() + replies.count() + timedOut.count(), 0);
}

void tst_BoardSession::pollShowsWhatCame() {
    Session s;
    QSignalSpy replies(&s.session, &BoardSession::replyReceived);
    s.connectWith("45!");
    s.port.receive("echo of contrast");
    s.session.settleTick(); // dropped unseen
    s.port.receive("abc");
    s.session.pollTick();
    s.session.pollTick(); // nothing came
    s.port.receive("de");
    s.session.pollTick();
    QCOMPARE(replies.count(), 2);
    QCOMPARE(replies.at(0).first().toByteArray(), QByteArray("abc"));
    QCOMPARE(replies.at(1).first().toByteArray(), QByteArray("de"));
}

void tst_BoardSession::disconnectWhileSettlingLeavesNoDrain() {
    Session s;
    QSignalSpy disconnected(&s.session, &BoardSession::disconnected);
    s.connectWith("45!");
    s.session.disconnectBoard();
    QCOMPARE(disconnected.count(), 1);
    QVERIFY(!s.port.portOpen());
    QVERIFY(!s.timer("Timer3")->isActive());
    QVERIFY(!s.timer("Timer2")->isActive());
}

void tst_BoardSession::baudChange() {
    Session s;
    s.connectAndPoll();
    QSignalSpy started(&s.session, &BoardSession::baudChangeStarted);
    QVERIFY(s.session.changeBaudRate(4));
    COMPARE_HEX(s.port.writes, writesOf("0F 04"));
    QCOMPARE(s.port.writeSettings, QList<QString>{QStringLiteral("9600,N,8,1")});
    QVERIFY(!s.port.portOpen());
    QCOMPARE(s.session.state(), SessionState::BaudChangePause);
    QCOMPARE(started.count(), 1);
    QCOMPARE(s.timer("BaudChangePause")->interval(), BoardSession::kBaudChangePauseMs);
    QVERIFY(s.timer("BaudChangePause")->isActive());
    for (const char* name : {"Timer1", "Timer2", "Timer3", "Timer4"})
        QVERIFY2(!s.timer(name)->isActive(), name);
    // Nothing goes out during the pause.
    QVERIFY(!s.session.send(protocol::setLcdPower(true)));
    QVERIFY(!s.session.connectTo(1, k9600));
    COMPARE_HEX(s.port.writes, writesOf("0F 04"));

    s.session.baudChangePauseTick();
    COMPARE_HEX(s.port.writes, writesOf("0F 04 | 49 44"));
    QCOMPARE(s.port.writeSettings.last(), QStringLiteral("19200,N,8,1"));
    QCOMPARE(s.session.state(), SessionState::Detecting);
    s.port.receive("45!");
    s.session.detectionPauseTick();
    QCOMPARE(s.session.state(), SessionState::Settling);
    QCOMPARE(s.session.settingsText(), QStringLiteral("19200,N,8,1"));
}

void tst_BoardSession::baudChangeRefusals() {
    Session s;
    QVERIFY(!s.session.changeBaudRate(4)); // not connected
    s.connectWith("45!");
    s.port.clearWrites();
    QVERIFY(!s.session.changeBaudRate(9));
    QVERIFY(!s.session.changeBaudRate(-1));
    QVERIFY(s.port.writes.isEmpty());
    QCOMPARE(s.session.state(), SessionState::Settling);
}

void tst_BoardSession::writeFailureDuringContrastEcho() {
    Session s;
    QSignalSpy lost(&s.session, &BoardSession::portLost);
    // The window echoes the contrast; here the echo hits a dead port.
    connect(&s.session, &BoardSession::contrastReported, &s.session,
            [&](int value) { s.session.send(protocol::setContrast(std::uint8_t(value))); });
    s.session.connectTo(1, k9600);
    s.port.failWrites(QStringLiteral("No such device"));
    s.port.receive("45!");
    s.session.detectionPauseTick();
    QCOMPARE(s.session.state(), SessionState::Disconnected);
    QVERIFY(!s.timer("Timer3")->isActive());
    QCOMPARE(lost.count(), 1);
    QCOMPARE(lost.first().at(1).toString(), QStringLiteral("No such device"));
    QCOMPARE(lost.first().at(2).toInt(), -1);
}

// Touch reporting off, then page 0 and column 0, each followed by its pause, then the page bytes
// at the line's pace; the pause after 05 00 is the board's longest.
void tst_BoardSession::uploadSendsTheScreenWithPauses() {
    Session s;
    s.port.setOpenForTest(true);
    s.port.setSettings(protocol::LineSettings{115200});
    QSignalSpy finished(&s.session, &BoardSession::uploadFinished);
    const BoardSession::Screen screen = screenOf(7);
    QVERIFY(s.session.startUpload(screen));
    COMPARE_HEX(s.port.writes, writesOf("05 00"));

    // Each pause counts from the moment its message went out; the message's own line time
    // (0.17 ms at 115200) comes on top.
    const std::int64_t lineSlackNs = 500'000;
    s.now += BoardSession::kTouchOffPauseNs - 1;
    s.session.uploadTick();
    COMPARE_HEX(s.port.writes, writesOf("05 00")); // still within the pause
    s.now += lineSlackNs;
    s.session.uploadTick();
    COMPARE_HEX(s.port.writes, writesOf("05 00 | 06 00"));
    s.now += BoardSession::kAddressPauseNs - 1;
    s.session.uploadTick();
    COMPARE_HEX(s.port.writes, writesOf("05 00 | 06 00"));
    s.now += lineSlackNs;
    s.session.uploadTick();
    COMPARE_HEX(s.port.writes, writesOf("05 00 | 06 00 | 12 00"));
    s.now += BoardSession::kAddressPauseNs - 1;
    s.session.uploadTick();
    QCOMPARE(s.port.writes.size(), 3); // no page byte before the pause after 12 00 is over

    s.runUpload();
    COMPARE_HEX(s.port.writes, uploadOf(screen, BoardSession::kScreenBytes));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).value<UploadEnding>(), UploadEnding::Completed);
    QCOMPARE(finished.first().at(1).toInt(), BoardSession::kScreenBytes);
}

void tst_BoardSession::uploadRefusesOtherMessages() {
    Session s;
    s.port.setOpenForTest(true);
    QVERIFY(s.session.startUpload(screenOf(0)));
    QVERIFY(!s.session.startUpload(screenOf(1)));
    QVERIFY(!s.session.send(protocol::setLcdPower(true)));
    s.runUpload();
    COMPARE_HEX(s.port.writes, uploadOf(screenOf(0), BoardSession::kScreenBytes));
    QVERIFY(s.session.send(protocol::setLcdPower(true))); // allowed again afterwards
}

void tst_BoardSession::portLostDuringUploadSaysHowFar() {
    Session s;
    s.connectAndPoll();
    QSignalSpy lost(&s.session, &BoardSession::portLost);
    QSignalSpy finished(&s.session, &BoardSession::uploadFinished);
    QVERIFY(s.session.startUpload(screenOf(0)));
    while (s.port.writes.size() < 503) {
        s.now += 100'000;
        s.session.uploadTick();
    }
    const int sent = int(s.port.writes.size()) - BoardSession::kSetupMessages;
    s.port.failWrites(QStringLiteral("adapter unplugged"));
    s.runUpload();
    QVERIFY(!s.session.uploading());
    QCOMPARE(s.session.state(), SessionState::Disconnected);
    QCOMPARE(lost.count(), 1);
    QCOMPARE(lost.first().at(2).toInt(), sent);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).value<UploadEnding>(), UploadEnding::PortLost);
    QCOMPARE(finished.first().at(1).toInt(), sent);
}

QTEST_GUILESS_MAIN(tst_BoardSession)
#include "tst_boardsession.moc"
