// The built vantrelctl over rfc2217:// and socket:// against a ser2net of this test's own on
// 127.0.0.1, which serves the virtual board's pseudo-terminal (or a bare one) on free ports.
#include "board/VirtualBoard.h"
#include "display/BoardModel.h"
#include "support/HexCompare.h"
#include "support/PtyPair.h"
#include "support/TestBitmaps.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#ifndef VANTRELCTL_PATH
#error "VANTRELCTL_PATH must name the built vantrelctl"
#endif

namespace {

struct Finished {
    int exitCode = -1;
    QByteArray out, err;
    QByteArray explain() const { return "exit " + QByteArray::number(exitCode) + ", " + out + err; }
};

// Runs vantrelctl while the event loop (and with it the virtual board) runs.
Finished run(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(VANTRELCTL_PATH), arguments);
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000))
        process.kill();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool listening(quint16 port) {
    QTcpServer probe;
    return !probe.listen(QHostAddress::LocalHost, port);
}

QString ser2netProgram() {
    return QStandardPaths::findExecutable(QStringLiteral("ser2net"), {"/usr/sbin", "/sbin"});
}

// ser2net with an RFC 2217 accepter (the line set by the client) and a raw one (the line at
// `rawBaud`, greeting with `rawBanner`), both on `device`.
class Ser2net {
public:
    Ser2net(const QString& device, int rawBaud, const QString& rawBanner = {}) {
        QFile config(dir_.filePath(QStringLiteral("ser2net.yaml")));
        if (ser2netProgram().isEmpty() || rawPort == rfc2217Port ||
            !config.open(QIODevice::WriteOnly))
            return;
        config.write(QStringLiteral("connection: &rfc\n"
                                    "  accepter: telnet(rfc2217),tcp,127.0.0.1,%1\n"
                                    "  connector: serialdev,%3,9600n81,local\n"
                                    "connection: &raw\n"
                                    "  accepter: tcp,127.0.0.1,%2\n"
                                    "  connector: serialdev,%3,%4n81,local\n"
                                    "  options:\n"
                                    "    banner: \"%5\"\n")
                         .arg(rfc2217Port)
                         .arg(rawPort)
                         .arg(device)
                         .arg(rawBaud)
                         .arg(rawBanner)
                         .toUtf8());
        config.close();
        process_.start(ser2netProgram(),
                       {"-n", "-d", "-c", config.fileName(), "-P", dir_.filePath("pid")});
        started_ = QTest::qWaitFor(
            [this] { return listening(rfc2217Port) && listening(rawPort); }, 5000);
    }
    ~Ser2net() { stop(); }
    bool started() const { return started_; }
    void stop() {
        process_.terminate();
        process_.waitForFinished();
    }
    QString rfc2217() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfc2217Port); }
    QString raw() const { return QStringLiteral("socket://127.0.0.1:%1").arg(rawPort); }

    const quint16 rfc2217Port = freePort();
    const quint16 rawPort = freePort();

private:
    QTemporaryDir dir_;
    QProcess process_;
    bool started_ = false;
};

#define START_SER2NET(server)                                                                      \
    do {                                                                                           \
        if (ser2netProgram().isEmpty())                                                            \
            QSKIP("ser2net is not installed (scripts/setup.sh --test installs it)");              \
        QVERIFY2((server).started(), "ser2net did not start");                                     \
    } while (false)

// No symmetry to hide a misplaced byte; columns 0..3 are FF, which Telnet must escape.
bool lit(int x, int y) {
    return (x * 7 + y * 3) % 11 == 0 || x == y || x < 4;
}

} // namespace

class tst_Ser2net : public QObject {
    Q_OBJECT
private slots:
    void textAndPictureArrive_data();
    void textAndPictureArrive();
    void baudChange_data();
    void baudChange();
    void refusals_data();
    void refusals();
};

void tst_Ser2net::textAndPictureArrive_data() {
    QTest::addColumn<bool>("rfc2217");
    QTest::newRow("rfc2217://") << true;
    QTest::newRow("socket://") << false;
}

void tst_Ser2net::textAndPictureArrive() {
    QFETCH(bool, rfc2217);
    VirtualBoard board;
    QVERIFY2(board.open(), qPrintable(board.errorString()));
    QVERIFY(board.model().setBaudRate(8) && board.model().setContrast(45)); // 115200
    Ser2net server(board.devicePath(), 115200);
    START_SER2NET(server);
    const QStringList port{"--port", rfc2217 ? server.rfc2217() : server.raw(), "--rate", "115200"};

    Finished f = run(port + QStringList{"text", "Hi", "--", "identify"});
    QVERIFY2(f.exitCode == 0, f.explain().constData());
    QCOMPARE(f.out, QByteArray("contrast 45\n"));
    display::BoardModel expected;
    expected.putChar('H');
    expected.putChar('i');
    QTRY_VERIFY(board.model().memory() == expected.memory());

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("picture.bmp")));
    testbmp::Spec bitmap;
    bitmap.index = [](int x, int y) { return lit(x, y) ? 1 : 0; };
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(testbmp::write(bitmap)) > 0);
    file.close();
    f = run(port + QStringList{"--no-detect", "picture", file.fileName()});
    QVERIFY2(f.exitCode == 0, f.explain().constData());
    display::BoardModel::Memory picture{};
    for (int page = 0; page < 16; ++page)
        for (int x = 0; x < 160; ++x)
            for (int bit = 0; bit < 8; ++bit)
                if (lit(x, page * 8 + bit))
                    picture[std::size_t(page * 160 + x)] |= std::uint8_t(1 << bit);
    QTRY_VERIFY(board.model().memory() == picture);
}

void tst_Ser2net::baudChange_data() {
    QTest::addColumn<bool>("rfc2217");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<int>("boardBaud");
    QTest::newRow("rfc2217:// changes the remote line") << true << 0 << QByteArray("contrast 45\n") << 19200;
    QTest::newRow("socket:// refuses") << false << 2 << QByteArray() << 9600;
}

void tst_Ser2net::baudChange() {
    QFETCH(bool, rfc2217);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(int, boardBaud);
    VirtualBoard board;
    QVERIFY2(board.open(), qPrintable(board.errorString()));
    QVERIFY(board.model().setContrast(45));
    Ser2net server(board.devicePath(), 9600);
    START_SER2NET(server);
    const Finished f = run({"--port", rfc2217 ? server.rfc2217() : server.raw(), "baud", "19200",
                            "--", "identify"});
    QVERIFY2(f.exitCode == exitCode, f.explain().constData());
    QCOMPARE(f.out, out);
    QCOMPARE(board.model().baud(), boardBaud);
    if (!rfc2217)
        QVERIFY2(f.err.contains("baud: the rate of a raw TCP port cannot be changed from "
                                "here; use rfc2217://"),
                 f.err.constData());
}

void tst_Ser2net::refusals_data() {
    QTest::addColumn<QString>("url"); // <raw>: the raw port of the ser2net in front of the line
    QTest::addColumn<bool>("board");  // a virtual board behind ser2net, or a silent pty
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("lineGot"); // what reached the line, hex

    const QString nobody = QStringLiteral("127.0.0.1:%1").arg(freePort());
    QTest::newRow("nothing listening")
        << "rfc2217://" + nobody << true << 3
        << "Cannot connect to " + nobody + ": the connection was refused" << QByteArray();
    QTest::newRow("unknown host") << "socket://no-such-host.invalid:2000" << true << 3
                                  << "no-such-host.invalid:2000: the host name" << QByteArray();
    QTest::newRow("rfc2217:// at a raw port")
        << "rfc2217://<raw>" << true << 3
        << "no RFC 2217 server at <raw>; for a raw TCP port use socket://" << QByteArray();
    QTest::newRow("a banner with a 6 and no board") << "socket://<raw>" << false << 4
                                                    << "did not answer" << bytesOf("49 44");
}

void tst_Ser2net::refusals() {
    QFETCH(QString, url);
    QFETCH(bool, board);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(QByteArray, lineGot);
    VirtualBoard virtualBoard;
    PtyPair silent;
    QVERIFY(virtualBoard.open() && silent.isValid());
    Ser2net server(board ? virtualBoard.devicePath() : silent.slavePath(), 9600,
                   QStringLiteral("ser2net port 6, 9600N81\\r\\n"));
    START_SER2NET(server);
    const QString raw = QStringLiteral("127.0.0.1:%1").arg(server.rawPort);
    url.replace(QStringLiteral("<raw>"), raw);
    message.replace(QStringLiteral("<raw>"), raw);

    const Finished f = run({"--port", url, "identify"});
    QVERIFY2(f.exitCode == exitCode, f.explain().constData());
    QVERIFY2(f.err.contains(message.toUtf8()), f.explain().constData());
    QCOMPARE(f.out, QByteArray());
    server.stop();
    QTest::qWait(100); // for anything still on its way to the line
    COMPARE_HEX(board ? QByteArray() : silent.readAvailable(), lineGot);
    QCOMPARE(virtualBoard.terminal().bytesRead(), 0);
}

QTEST_GUILESS_MAIN(tst_Ser2net)
#include "tst_ser2net.moc"
