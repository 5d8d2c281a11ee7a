// The board session on a port that opens in the background (a network port): while the port
// opens, the session looks as detecting, runs no timer, sends nothing and takes no second
// connection; an opening given up is not picked up again by a late report. (Opening and failing
// over real network ports run end to end in tests/transport/tst_ser2net.)

#include "engine/BoardSession.h"
#include "support/FakeSerialPort.h"
#include "support/HexCompare.h"

#include <QSignalSpy>
#include <QTimer>
#include <QTest>

using engine::BoardSession;
using engine::SessionState;

namespace {

const protocol::LineSettings k9600 = *protocol::LineSettings::ofRateIndex(2);

bool timerRuns(const BoardSession& session) {
    const QList<QTimer*> timers = session.findChildren<QTimer*>();
    return std::any_of(timers.begin(), timers.end(), [](QTimer* t) { return t->isActive(); });
}

} // namespace

class tst_SessionOpening : public QObject {
    Q_OBJECT
private slots:
    void waitsForThePort_data();
    void waitsForThePort();
};

void tst_SessionOpening::waitsForThePort_data() {
    QTest::addColumn<bool>("givenUp"); // the program ends (or is interrupted) meanwhile
    QTest::newRow("opened") << false;
    QTest::newRow("given up, then a late report") << true;
}

void tst_SessionOpening::waitsForThePort() {
    QFETCH(bool, givenUp);
    FakeSerialPort port;
    port.opensInBackground = true;
    BoardSession session(port);
    QSignalSpy failed(&session, &BoardSession::openFailed);
    QVERIFY(session.connectTo(1, k9600));
    QCOMPARE(session.state(), SessionState::Detecting);
    QVERIFY(!timerRuns(session));
    QVERIFY(!session.connectTo(1, k9600));
    QVERIFY(!session.send("x"));
    QVERIFY(!session.changeBaudRate(4));
    if (givenUp) {
        session.shutDown();
        QVERIFY(!port.opening());
    }
    port.finishOpening({true, PortError::None, {}});
    COMPARE_HEX(port.writes, givenUp ? QList<QByteArray>() : writesOf("49 44"));
    QCOMPARE(session.state(), givenUp ? SessionState::Disconnected : SessionState::Detecting);
    QCOMPARE(session.findChild<QTimer*>(QStringLiteral("Timer1"))->isActive(), !givenUp);
    QCOMPARE(failed.count(), 0);
}

QTEST_GUILESS_MAIN(tst_SessionOpening)
#include "tst_sessionopening.moc"
