// The pseudo-terminal helper other tests stand on: raw in both directions, settings readable
// from the board's side, and a hang-up the port side can see.

#include "support/HexCompare.h"
#include "support/PtyPair.h"

#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
// Reads what the board sent on a descriptor of the slave, waiting at most ~2 s in total.
QByteArray readSlave(int fd, qsizetype count) {
    QByteArray got;
    char buffer[256];
    for (int round = 0; round < 100 && got.size() < count; ++round) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 20);
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, n);
    }
    return got;
}
} // namespace

class TestPtyPair : public QObject {
    Q_OBJECT
private slots:
    void bytesPassUntranslated_data();
    void bytesPassUntranslated();
    void lineSettingsFollowTheSlave_data();
    void lineSettingsFollowTheSlave();
    void closeMasterHangsUpTheSlave();
};

void TestPtyPair::bytesPassUntranslated_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("control and high bytes") << bytesOf("00 0D 0A 03 04 11 13 1A 7F 80 FF");
    QTest::newRow("all 256 byte values") << [] {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        return all;
    }();
}

void TestPtyPair::bytesPassUntranslated() {
    QFETCH(QByteArray, bytes);
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    const int slave =
        ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(slave >= 0);

    // Board to program.
    QVERIFY(pty.writeToPort(bytes));
    COMPARE_HEX(readSlave(slave, bytes.size()), bytes);

    // Program to board.
    QCOMPARE(::write(slave, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    COMPARE_HEX(pty.readFromPort(bytes.size()), bytes);
    COMPARE_HEX(pty.readAvailable(), QByteArray());
    ::close(slave);
}

void TestPtyPair::lineSettingsFollowTheSlave_data() {
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("baud");
    QTest::newRow("2400") << int(B2400) << 2400;
    QTest::newRow("19200") << int(B19200) << 19200;
    QTest::newRow("115200") << int(B115200) << 115200;
}

void TestPtyPair::lineSettingsFollowTheSlave() {
    QFETCH(int, speed);
    QFETCH(int, baud);
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    const int slave =
        ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(slave >= 0);
    termios t{};
    QCOMPARE(::tcgetattr(slave, &t), 0);
    ::cfsetspeed(&t, speed_t(speed));
    t.c_cflag |= CSTOPB; // a pty keeps stop bits but forces 8 data bits and no parity
    QCOMPARE(::tcsetattr(slave, TCSANOW, &t), 0);

    const PtyPair::LineSettings s = pty.lineSettings();
    QCOMPARE(s.baud, baud);
    QCOMPARE(s.stopBits, 2);
    QCOMPARE(s.dataBits, 8);
    QCOMPARE(s.parity, 'N');
    ::close(slave);
}

void TestPtyPair::closeMasterHangsUpTheSlave() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    const int slave =
        ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(slave >= 0);
    pty.closeMaster();
    QCOMPARE(pty.masterFd(), -1);
    pollfd p{slave, POLLIN, 0};
    QCOMPARE(::poll(&p, 1, 1000), 1);
    QVERIFY(p.revents & POLLHUP);
    // A hung-up terminal reads end-of-file (or EIO on older kernels), never "try again".
    char c;
    const ssize_t n = ::read(slave, &c, 1);
    QVERIFY2(n == 0 || (n < 0 && errno == EIO), qPrintable(QString::number(n)));
    QVERIFY(!pty.writeToPort("x"));
    ::close(slave);
}

QTEST_GUILESS_MAIN(TestPtyPair)
#include "tst_ptypair.moc"
