// The board session on a port that opens in the background (a network port): the session waits
// for the port's report without a timer of its own. (The rate change over such ports, and its
// refusal by a raw TCP port, run end to end in tests/transport/tst_ser2net.)

#include "engine/BoardSession.h"
#include "support/FakeSerialPort.h"
#include "support/HexCompare.h"

#include <QSignalSpy>
#include <QTimer>
#include <QTest>

using engine::BoardSession;
using engine::SessionState;

Q_DECLARE_METATYPE(SessionState)

namespace {

const protocol::LineSettings k9600 = *protocol::LineSettings::ofRateIndex(2);

OpenResult opened() {
    return {true, PortError::None, {}};
}

OpenResult refused() {
    return {false, PortError::Resource, QStringLiteral("Cannot connect to pi.local:2000: refused.")};
}

struct Session {
    Session() { port.opensInBackground = true; }
    bool timerRuns() const {
        for (const char* name : {"Timer1", "Timer2", "Timer3", "Timer4", "BaudChangePause"})
            if (session.findChild<QTimer*>(QString::fromLatin1(name))->isActive())
                return true;
        return false;
    }
    FakeSerialPort port;
    BoardSession session{port};
};

} // namespace

class tst_SessionOpening : public QObject {
    Q_OBJECT
private slots:
    void opening_data();
    void opening();
    void givenUpWhileOpening();
};

void tst_SessionOpening::opening_data() {
    QTest::addColumn<bool>("detect");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<SessionState>("after");
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QString>("timer"); // the timer running afterwards, or none
    QTest::newRow("detection, opens") << true << true << SessionState::Detecting
                                      << writesOf("49 44") << "Timer1";
    QTest::newRow("detection, refused") << true << false << SessionState::Disconnected
                                        << QList<QByteArray>() << "";
    QTest::newRow("no detection, opens") << false << true << SessionState::Open
                                         << QList<QByteArray>() << "Timer2";
    QTest::newRow("no detection, refused") << false << false << SessionState::Disconnected
                                           << QList<QByteArray>() << "";
}

void tst_SessionOpening::opening() {
    QFETCH(bool, detect);
    QFETCH(bool, ok);
    QFETCH(SessionState, after);
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QString, timer);
    Session s;
    QSignalSpy failed(&s.session, &BoardSession::openFailed);
    QSignalSpy openedSpy(&s.session, &BoardSession::opened);
    QVERIFY(detect ? s.session.connectTo(1, k9600) : s.session.openWithoutDetection(1, k9600));
    // Opening: looks as detecting, sends nothing, runs no timer, takes no second connection.
    QCOMPARE(s.session.state(), SessionState::Detecting);
    QVERIFY(!s.timerRuns());
    QVERIFY(!s.session.connectTo(1, k9600));
    QVERIFY(!s.session.send("x"));
    QVERIFY(!s.session.changeBaudRate(4));
    QVERIFY(s.port.writes.isEmpty());
    QCOMPARE(failed.count(), 0);

    s.port.finishOpening(ok ? opened() : refused());
    QCOMPARE(s.session.state(), after);
    COMPARE_HEX(s.port.writes, writes);
    QCOMPARE(failed.count(), ok ? 0 : 1);
    if (!ok) {
        QCOMPARE(failed.first().at(0).value<PortError>(), PortError::Resource);
        QVERIFY(failed.first().at(1).toString().contains(QStringLiteral("pi.local:2000")));
    }
    QCOMPARE(openedSpy.count(), ok && !detect ? 1 : 0);
    if (!timer.isEmpty())
        QVERIFY(s.session.findChild<QTimer*>(timer)->isActive());
    else
        QVERIFY(!s.timerRuns());
}

void tst_SessionOpening::givenUpWhileOpening() {
    Session s;
    QSignalSpy failed(&s.session, &BoardSession::openFailed);
    QVERIFY(s.session.connectTo(1, k9600));
    s.session.shutDown(); // the program ends, or vantrelctl is interrupted
    QVERIFY(!s.port.opening());
    QCOMPARE(s.session.state(), SessionState::Disconnected);
    s.port.finishOpening(opened()); // a late report changes nothing
    QCOMPARE(s.session.state(), SessionState::Disconnected);
    QVERIFY(s.port.writes.isEmpty());
    QCOMPARE(failed.count(), 0);
}

QTEST_GUILESS_MAIN(tst_SessionOpening)
#include "tst_sessionopening.moc"
