// The built vantrelctl over rfc2217:// and socket:// against a ser2net of this test's own on
// 127.0.0.1, which serves the virtual board's pseudo-terminal (or a bare one) on free ports.
#include "board/VirtualBoard.h"
#include "display/BoardModel.h"
#include "support/HexCompare.h"
#include "support/PtyPair.h"
#include "support/Ser2net.h"
#include "support/TestBitmaps.h"

#include <QFile>
#include <QProcess>
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

// Runs vantrelctl while the event loop (and with it the virtual board) runs, with `input` as its
// standard input; `meanwhile` is called as it runs.
Finished run(
    const QStringList& arguments, const QByteArray& input = {},
    const std::function<void()>& meanwhile = [] {}) {
    QProcess process;
    process.start(QStringLiteral(VANTRELCTL_PATH), arguments);
    process.write(input);
    process.closeWriteChannel();
    const auto ended = [&] {
        meanwhile();
        return process.state() == QProcess::NotRunning;
    };
    if (!QTest::qWaitFor(ended, 60000))
        process.kill();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

// No symmetry to hide a misplaced byte; columns 0..3 are FF, which Telnet must escape.
bool lit(int x, int y) {
    return (x * 7 + y * 3) % 11 == 0 || x == y || x < 4;
}

// The picture of lit() as a one-bit BMP in `dir`.
QString writePicture(const QTemporaryDir& dir) {
    QFile file(dir.filePath(QStringLiteral("picture.bmp")));
    testbmp::Spec bitmap;
    bitmap.index = [](int x, int y) { return lit(x, y) ? 1 : 0; };
    if (file.open(QIODevice::WriteOnly))
        file.write(testbmp::write(bitmap));
    return file.fileName();
}

// The board's memory once it shows lit().
display::BoardModel::Memory litMemory() {
    display::BoardModel::Memory picture{};
    for (int page = 0; page < 16; ++page)
        for (int x = 0; x < 160; ++x)
            for (int bit = 0; bit < 8; ++bit)
                if (lit(x, page * 8 + bit))
                    picture[std::size_t(page * 160 + x)] |= std::uint8_t(1 << bit);
    return picture;
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
    void severalBoards_data();
    void severalBoards();
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
    f = run(port + QStringList{"--no-detect", "picture", writePicture(dir)});
    QVERIFY2(f.exitCode == 0, f.explain().constData());
    QTRY_VERIFY(board.model().memory() == litMemory());
}

void tst_Ser2net::baudChange_data() {
    QTest::addColumn<bool>("rfc2217");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<int>("boardBaud");
    QTest::newRow("rfc2217:// changes the remote line")
        << true << 0 << QByteArray("contrast 45\n") << 19200;
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
    const Finished f = run(
        {"--port", rfc2217 ? server.rfc2217() : server.raw(), "baud", "19200", "--", "identify"});
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
        << "cannot connect to " + nobody + ": the connection was refused" << QByteArray();
    QTest::newRow("unknown host") << "socket://no-such-host.invalid:2000" << true << 3
                                  << "no-such-host.invalid:2000: the host name" << QByteArray();
    QTest::newRow("rfc2217:// at a raw port")
        << "rfc2217://<raw>" << true << 3
        << "no RFC 2217 server at <raw>; for a raw TCP port use socket://" << QByteArray();
    QTest::newRow("a banner with a 6 and no board")
        << "socket://<raw>" << false << 4 << "did not answer" << bytesOf("49 44");
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

void tst_Ser2net::severalBoards_data() {
    // Ports: <A>, <B> the boards' RFC 2217 ports; <A again> A's under the other scheme;
    // <nobody> a port nothing listens on. B's server stops after 500 bytes when
    // `cutB`.
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<int>("rate");
    QTest::addColumn<bool>("cutB");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<bool>("aPicture");
    QTest::addColumn<bool>("bPicture");
    QTest::newRow("two boards, one picture from standard input")
        << QStringList{"<A>", "<B>"} << 115200 << false << 0 << "<A>: done\n<B>: done\n"
        << "" << true << true;
    QTest::newRow("the same device twice")
        << QStringList{"<A>", "<A again>"} << 115200 << false << 2 << ""
        << "name the same device" << false << false;
    QTest::newRow("nothing listening does not stop the other")
        << QStringList{"<nobody>", "<A>"} << 115200 << false << 3
        << "<nobody>: failed, status 3\n<A>: done\n"
        << "<nobody>: vantrelctl: cannot connect to" << true << false;
    QTest::newRow("a server closes mid-upload")
        << QStringList{"<A>", "<B>"} << 9600 << true << 5 << "<A>: done\n<B>: failed, status 5\n"
        << "<B>: vantrelctl: standard input line 1: picture: the port" << true << false;
}

void tst_Ser2net::severalBoards() {
    QFETCH(QStringList, ports);
    QFETCH(int, rate);
    QFETCH(bool, cutB);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(bool, aPicture);
    QFETCH(bool, bPicture);
    VirtualBoard a, b;
    QVERIFY(a.open() && b.open());
    QVERIFY(a.model().setBaudRate(rate == 9600 ? 2 : 8) &&
            b.model().setBaudRate(rate == 9600 ? 2 : 8));
    Ser2net serverA(a.devicePath(), rate), serverB(b.devicePath(), rate);
    START_SER2NET(serverA);
    START_SER2NET(serverB);
    const QList<std::pair<QString, QString>> names{
        {"<A again>", QStringLiteral("socket://127.0.0.1:%1").arg(serverA.rfc2217Port)},
        {"<A>", serverA.rfc2217()},
        {"<B>", serverB.rfc2217()},
        {"<nobody>", QStringLiteral("rfc2217://127.0.0.1:%1").arg(freePort())}};
    QStringList arguments{"--rate", QString::number(rate)};
    for (QString port : ports) {
        for (const auto& [name, url] : names)
            port.replace(name, url), out.replace(name, url), err.replace(name, url);
        arguments << "--port" << port;
    }
    QTemporaryDir dir;
    const Finished f = run(arguments + QStringList{"script", "-"},
                           "picture " + writePicture(dir).toUtf8() + "\n", [&] {
                               if (cutB && b.terminal().bytesRead() > 500)
                                   serverB.stop();
                           });
    QVERIFY2(f.exitCode == exitCode, f.explain().constData());
    QCOMPARE(QString::fromUtf8(f.out), out);
    QVERIFY2(f.err.contains(err.toUtf8()), f.explain().constData());
    for (auto [board, picture] : {std::pair{&a, aPicture}, std::pair{&b, bPicture}}) {
        if (picture)
            QTRY_VERIFY(board->model().memory() == litMemory());
        else
            QVERIFY(board->model().memory() != litMemory());
    }
    if (!aPicture) // nothing reached the line
        QCOMPARE(a.terminal().bytesRead(), 0);
}

QTEST_GUILESS_MAIN(tst_Ser2net)
#include "tst_ser2net.moc"
