// The built vantrelctl program against the virtual board (model, interpreter and pseudo-terminal
// in this test's event loop), and against a bare pseudo-terminal where the far end must stay
// silent, hang up or watch the bytes.
#include "ProgramRun.h"
#include "board/VirtualBoard.h"
#include "display/BoardModel.h"
#include "support/BoardPixels.h"
#include "support/HexCompare.h"
#include "support/PtyPair.h"
#include "support/TestBitmaps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <memory>

namespace {

// A 160 x 128 picture with no symmetry to hide a misplaced byte.
bool lit(int x, int y) {
    return (x * 7 + y * 3) % 11 == 0 || x == y;
}

QString writePicture(const QTemporaryDir& dir) {
    testbmp::Spec bitmap;
    bitmap.index = [](int x, int y) { return lit(x, y) ? 1 : 0; };
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(testbmp::write(bitmap)) <= 0)
        return {};
    return path;
}

} // namespace

class tst_CtlEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void textLandsAsCharacterModePutsIt();
    void pictureArrivesByteForByte();
    void pictureFromAPipeArrivesByteForByte();
    void scriptRunsEveryLine();
    void baudChangeThenIdentifyAtTheNewRate();
    void listenPrintsTouchReportsUntilCtrlC();
    void dryRunOpensNothing();
    void dryRunWritesWhatTheBoardReceives_data();
    void dryRunWritesWhatTheBoardReceives();
    void badArgumentSendsNothing();
    void portThatCannotBeOpened();
    void boardThatDoesNotAnswer();
    void portLostDuringUpload();
    void signalStopsUploadAndSaysHowFar_data();
    void signalStopsUploadAndSaysHowFar();
    void listenEndsWhenItsReaderGoes();

private:
    QStringList onBoard(const QStringList& arguments) const {
        return QStringList{QStringLiteral("--port"), board_->devicePath()} + arguments;
    }

    std::unique_ptr<VirtualBoard> board_;
};

void tst_CtlEndToEnd::init() {
    board_ = std::make_unique<VirtualBoard>();
    QVERIFY2(board_->open(), qPrintable(board_->errorString()));
}

void tst_CtlEndToEnd::cleanup() {
    board_.reset();
}

void tst_CtlEndToEnd::textLandsAsCharacterModePutsIt() {
    const Finished f = run(onBoard({QStringLiteral("text"), QStringLiteral("Hi")}));
    QVERIFY2(f.exitCode == 0, qPrintable(explain(f)));
    display::BoardModel expected;
    expected.putChar('H');
    expected.putChar('i');
    QVERIFY(expected.memory() != display::BoardModel().memory());
    // The program has ended; the board may still be reading its last bytes.
    QTRY_VERIFY(board_->model().memory() == expected.memory());
    QCOMPARE(board_->model().column(), expected.column());
    QVERIFY(f.out.isEmpty());
}

void tst_CtlEndToEnd::pictureArrivesByteForByte() {
    QVERIFY(board_->model().setBaudRate(8)); // 115200
    QTemporaryDir dir;
    const QString path = writePicture(dir);
    QVERIFY(!path.isEmpty());

    const Finished f = run(onBoard(
        {QStringLiteral("--rate"), QStringLiteral("115200"), QStringLiteral("picture"), path}));
    QVERIFY2(f.exitCode == 0, qPrintable(explain(f)));
    QVERIFY2(f.err.isEmpty(), f.err.constData()); // no progress bar when stderr is no terminal

    const display::BoardModel::Memory expected = memoryShowing(lit);
    QTRY_VERIFY(board_->model().memory() == expected);
    QCOMPARE(board_->model().touchMode(), display::BoardModel::TouchMode::Off);
}

void tst_CtlEndToEnd::pictureFromAPipeArrivesByteForByte() {
    QVERIFY(board_->model().setBaudRate(8)); // 115200
    QTemporaryDir dir;
    QVERIFY(!writePicture(dir).isEmpty());
    const Finished f = runInShell(QStringLiteral("cat picture.bmp | vantrelctl -b 115200 -p %1 "
                                                 "picture -")
                                      .arg(board_->devicePath()),
                                  dir.path());
    QVERIFY2(f.exitCode == 0, qPrintable(explain(f)));
    QTRY_VERIFY(board_->model().memory() == memoryShowing(lit));
}

void tst_CtlEndToEnd::scriptRunsEveryLine() {
    board_->model().lineRect(true, 2, 100, 100, 120, 120); // for the clear to remove
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# five lines: a comment, a blank one, three commands\n"
               "clear\n"
               "\n"
               "text \"Hi\" --at 2,10   # greet\n"
               "fill 0 0 9 9\n");
    file.close();

    const Finished f = run(onBoard({QStringLiteral("script"), path}));
    QVERIFY2(f.exitCode == 0, qPrintable(explain(f)));
    display::BoardModel expected;
    expected.setPage(2);
    expected.setColumn(10);
    expected.putChar('H');
    expected.putChar('i');
    expected.lineRect(true, 2, 0, 0, 9, 9);
    QTRY_VERIFY(board_->model().memory() == expected.memory());
}

void tst_CtlEndToEnd::baudChangeThenIdentifyAtTheNewRate() {
    QVERIFY(board_->model().setContrast(45));
    const Finished f = run(onBoard({QStringLiteral("baud"), QStringLiteral("19200"),
                                    QStringLiteral("--"), QStringLiteral("identify")}));
    QVERIFY2(f.exitCode == 0, qPrintable(explain(f)));
    QCOMPARE(f.out, QByteArray("contrast 45\n"));
    QCOMPARE(board_->model().baud(), 19200);
}

void tst_CtlEndToEnd::listenPrintsTouchReportsUntilCtrlC() {
    QProcess process;
    QByteArray out;
    connect(&process, &QProcess::readyReadStandardOutput, this,
            [&] { out += process.readAllStandardOutput(); });
    start(process,
          onBoard({QStringLiteral("--no-detect"), QStringLiteral("touch"),
                   QStringLiteral("coordinates"), QStringLiteral("--"), QStringLiteral("listen"),
                   QStringLiteral("--"), QStringLiteral("backlight"), QStringLiteral("off")}));
    QVERIFY(QTest::qWaitFor(
        [&] { return board_->model().touchMode() == display::BoardModel::TouchMode::Coordinates; },
        kRunTimeoutMs));
    board_->touch(80, 64);
    board_->touch(3, 4);
    QVERIFY2(QTest::qWaitFor([&] { return out.contains("X3Y4!\n"); }, kRunTimeoutMs), out);
    QVERIFY(board_->model().backlightOn()); // still listening
    ::kill(pid_t(process.processId()), SIGINT);
    Finished f = waitFor(process, kRunTimeoutMs);
    f.out.prepend(out);
    QVERIFY2(f.exitCode == 0, qPrintable(explain(f)));
    QCOMPARE(f.out, QByteArray("X80Y64!\nX3Y4!\n"));
    QTRY_VERIFY(!board_->model().backlightOn()); // the command after listen ran
}

void tst_CtlEndToEnd::dryRunOpensNothing() {
    const Finished f =
        run({QStringLiteral("--port"), QStringLiteral("/nonexistent/ttyNone"),
             QStringLiteral("--dry-run"), QStringLiteral("fill"), QStringLiteral("10"),
             QStringLiteral("20"), QStringLiteral("100"), QStringLiteral("60")});
    QVERIFY2(f.exitCode == 0, qPrintable(explain(f)));
    QCOMPARE(f.out, QByteArray("49 44\n1F 02 0A 14 64 3C\n"));
}

void tst_CtlEndToEnd::dryRunWritesWhatTheBoardReceives_data() {
    QTest::addColumn<QStringList>("arguments");
    const QString picture = QStringLiteral("PICTURE");
    QTest::newRow("text") << QStringList{"text", "Hi", "--font", "2"};
    QTest::newRow("rectangle") << QStringList{"rect", "1", "2", "30", "40"};
    QTest::newRow("picture") << QStringList{"--rate", "115200", "picture", picture};
    QTest::newRow("baud change") << QStringList{"baud", "19200", "--", "clear"};
}

void tst_CtlEndToEnd::dryRunWritesWhatTheBoardReceives() {
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    arguments.replaceInStrings(QStringLiteral("PICTURE"), writePicture(dir));
    if (arguments.contains(QStringLiteral("115200")))
        QVERIFY(board_->model().setBaudRate(8));
    QByteArray received;
    connect(&board_->terminal(), &PseudoTerminal::bytesTaken, this,
            [&](const QByteArray& bytes) { received += bytes; });

    const Finished dry = run(QStringList{QStringLiteral("--dry-run")} + arguments);
    QVERIFY2(dry.exitCode == 0, qPrintable(explain(dry)));
    const QByteArray printed = QByteArray::fromHex(dry.out);
    const Finished real = run(onBoard(arguments));
    QVERIFY2(real.exitCode == 0, qPrintable(explain(real)));
    QTRY_COMPARE(received.size(), printed.size());
    COMPARE_HEX(received, printed);
}

void tst_CtlEndToEnd::badArgumentSendsNothing() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    const Finished f = run({QStringLiteral("--port"), pty.slavePath(), QStringLiteral("text"),
                            QStringLiteral("Hi"), QStringLiteral("--"), QStringLiteral("circle"),
                            QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("300")});
    QVERIFY2(f.exitCode == 2, qPrintable(explain(f)));
    QVERIFY2(f.err.contains("circle: Y must be a whole number from 0 to 255, not \"300\""),
             f.err.constData());
    QVERIFY2(f.err.contains("vantrelctl help circle"), f.err.constData());
    COMPARE_HEX(pty.readAvailable(), QByteArray());
}

void tst_CtlEndToEnd::portThatCannotBeOpened() {
    const Finished f = run({QStringLiteral("--port"), QStringLiteral("/nonexistent/ttyNone"),
                            QStringLiteral("clear")});
    QVERIFY2(f.exitCode == 3, qPrintable(explain(f)));
    QVERIFY2(f.err.contains("/nonexistent/ttyNone"), f.err.constData());
}

void tst_CtlEndToEnd::boardThatDoesNotAnswer() {
    PtyPair pty; // nobody answers at its far end
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    const Finished f = run({QStringLiteral("--port"), pty.slavePath(), QStringLiteral("clear")});
    QVERIFY2(f.exitCode == 4, qPrintable(explain(f)));
    QVERIFY2(f.err.contains("did not answer"), f.err.constData());
    COMPARE_HEX(pty.readAvailable(), bytesOf("49 44")); // the clear was not sent
}

void tst_CtlEndToEnd::portLostDuringUpload() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    // The program must not inherit the board's end, or closing it here would hang nothing up.
    QVERIFY(::fcntl(pty.masterFd(), F_SETFD, FD_CLOEXEC) == 0);
    QTemporaryDir dir;
    const QString path = writePicture(dir);
    QProcess process;
    start(process, {QStringLiteral("--port"), pty.slavePath(), QStringLiteral("--no-detect"),
                    QStringLiteral("picture"), path});
    // At 9600 baud the upload takes seconds; pull the plug once it is under way.
    const QByteArray first = pty.readFromPort(100, kRunTimeoutMs);
    COMPARE_HEX(first.left(7), bytesOf("05 00 06 00 12 00 03"));
    pty.closeMaster();
    const Finished f = waitFor(process, kRunTimeoutMs);
    QVERIFY2(f.exitCode == 5, qPrintable(explain(f)));
    QVERIFY2(f.err.contains("was lost") && f.err.contains("of 2560 bytes"), f.err.constData());
}

void tst_CtlEndToEnd::signalStopsUploadAndSaysHowFar_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<int>("exitCode"); // -1: the signal's default action ended the program
    QTest::addColumn<QString>("said");
    QTest::newRow("Ctrl+C") << SIGINT << 130 << "stopped by Ctrl+C after";
    QTest::newRow("hang-up") << SIGHUP << 129 << "stopped by a hang-up (SIGHUP) after";
    QTest::newRow("SIGTERM") << SIGTERM << 143 << "stopped by SIGTERM after";
    QTest::newRow("broken pipe") << SIGPIPE << 141 << "stopped by a broken pipe (SIGPIPE) after";
    QTest::newRow("other signals keep their default") << SIGUSR1 << -1 << QString();
}

void tst_CtlEndToEnd::signalStopsUploadAndSaysHowFar() {
    QFETCH(int, signalNumber);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QTemporaryDir dir;
    const QString path = writePicture(dir);
    QProcess process;
    start(process, {QStringLiteral("--port"), pty.slavePath(), QStringLiteral("--no-detect"),
                    QStringLiteral("picture"), path});
    QCOMPARE(pty.readFromPort(100, kRunTimeoutMs).size(), 100);
    // QSerialPort's lock file while it holds the port.
    const QString lock = "/run/lock/LCK.." + pty.slavePath().mid(5).replace(u'/', u'_');
    QVERIFY2(QFile::exists(lock), qPrintable(lock));
    ::kill(pid_t(process.processId()), signalNumber);
    const Finished f = waitFor(process);
    QVERIFY2(f.exitCode == exitCode, qPrintable(explain(f)));
    if (exitCode < 0)
        return;
    QVERIFY2(f.err.contains(said.toLatin1()) && f.err.contains("of 2560 picture bytes"),
             f.err.constData());
    QVERIFY2(!QFile::exists(lock), qPrintable(lock)); // the port was released
    // Whole messages only: what arrived is a whole number of two-byte messages.
    const QByteArray rest = pty.readAvailable(); // the program has ended: all of it is here
    QCOMPARE((100 + rest.size()) % 2, 0);
    QVERIFY(100 + rest.size() < 5126);
}

void tst_CtlEndToEnd::listenEndsWhenItsReaderGoes() {
    QTimer touches;
    connect(&touches, &QTimer::timeout, this, [this] { board_->touch(80, 64); });
    touches.start(20);
    // The shell prints the program's exit status once `head` has taken 20 bytes and gone.
    const Finished f = runInShell(QStringLiteral("{ vantrelctl --port %1 --no-detect touch "
                                                 "coordinates -- listen; echo \"exit $?\" >&2; } "
                                                 "| head -c20")
                                      .arg(board_->devicePath()),
                                  QDir::tempPath());
    QCOMPARE(f.out, QByteArray("X80Y64!\nX80Y64!\nX80Y"));
    QVERIFY2(f.err.endsWith("stopped by a broken pipe (SIGPIPE)\nexit 141\n"), f.err.constData());
}

QTEST_GUILESS_MAIN(tst_CtlEndToEnd)
#include "tst_ctlendtoend.moc"
