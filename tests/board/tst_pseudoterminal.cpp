// The virtual board's serial line: a pseudo-terminal whose other end a real QSerialPort (or a
// plain descriptor) opens. Bytes written there are decoded; replies come back; a line whose rate
// is not the board's carries only noise.

#include "board/PseudoTerminal.h"
#include "display/BoardModel.h"
#include "display/CommandInterpreter.h"
#include "support/HexCompare.h"
#include "system/TerminationSignals.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

struct Line {
    display::BoardModel model;
    display::CommandInterpreter interpreter{model};
    PseudoTerminal terminal{model, interpreter};
    QStringList log;

    Line() {
        model.setReplySink([this](const std::string& r) { terminal.sendReply(r); });
        interpreter.setLogSink([this](const std::string& l) { log << QString::fromStdString(l); });
        QObject::connect(&terminal, &PseudoTerminal::logLine,
                         [this](const QString& l) { log << l; });
    }
    bool logHas(const QString& start) const {
        for (const QString& l : log)
            if (l.startsWith(start))
                return true;
        return false;
    }
};

// The program's end of the line, as Vantrel opens it.
std::unique_ptr<QSerialPort> openPort(const QString& path, int baud) {
    auto port = std::make_unique<QSerialPort>(path);
    port->setBaudRate(baud);
    if (!port->open(QIODevice::ReadWrite))
        return nullptr;
    return port;
}

} // namespace

class TestPseudoTerminal : public QObject {
    Q_OBJECT

private slots:
    void opensRawLineAtBoardRate() {
        Line line;
        line.model.setBaudRate(8);
        QVERIFY2(line.terminal.open(), qPrintable(line.terminal.errorString()));
        QVERIFY(QFileInfo::exists(line.terminal.slavePath()));
        QCOMPARE(line.terminal.lineBaud(), 115200);
    }

    void decodesWhatTheProgramWrites() {
        Line line;
        QVERIFY2(line.terminal.open(), qPrintable(line.terminal.errorString()));
        auto port = openPort(line.terminal.slavePath(), 9600);
        QVERIFY(port);
        port->write(bytesOf("06 03 12 07 03 FF 0A 01"));
        QTRY_COMPARE(line.model.pageByte(3, 7), 0xFF);
        port->write(bytesOf("14 1E")); // the pixel's coordinates in a second write
        QTRY_VERIFY(line.model.pixel(20, 30));
        QCOMPARE(line.log, (QStringList{"SetPage 3", "SetColumn 7",
                                        "PutPattern 0xFF at page 3, column 7", "DrawPixel 20,30"}));
    }

    void identifyIsAnswered_data() {
        QTest::addColumn<int>("rateIndex");
        QTest::addColumn<int>("baud");
        QTest::newRow("2400") << 0 << 2400;
        QTest::newRow("4800") << 1 << 4800;
        QTest::newRow("9600") << 2 << 9600;
        QTest::newRow("14400, no termios constant") << 3 << 14400;
        QTest::newRow("19200") << 4 << 19200;
        QTest::newRow("28800, no termios constant") << 5 << 28800;
        QTest::newRow("38400") << 6 << 38400;
        QTest::newRow("57600") << 7 << 57600;
        QTest::newRow("115200") << 8 << 115200;
    }
    void identifyIsAnswered() {
        QFETCH(int, rateIndex);
        QFETCH(int, baud);
        Line line;
        line.model.setBaudRate(rateIndex);
        line.model.setContrast(45);
        QVERIFY2(line.terminal.open(), qPrintable(line.terminal.errorString()));
        auto port = openPort(line.terminal.slavePath(), baud);
        QVERIFY(port);
        QCOMPARE(line.terminal.lineBaud(), baud); // Qt's rate, read back from the master
        port->write(identifyQuery());
        QByteArray got;
        QTRY_VERIFY((got += port->readAll()).size() >= 3);
        COMPARE_HEX(got, QByteArray("45!"));
    }

    void otherRateIsNoise_data() {
        QTest::addColumn<int>("baud");
        QTest::newRow("19200") << 19200;
        QTest::newRow("14400") << 14400;
        QTest::newRow("4800") << 4800;
    }
    void otherRateIsNoise() {
        QFETCH(int, baud);
        Line line;
        QVERIFY2(line.terminal.open(), qPrintable(line.terminal.errorString()));
        QSignalSpy changed(&line.terminal, &PseudoTerminal::lineBaudChanged);
        auto port = openPort(line.terminal.slavePath(), baud);
        QVERIFY(port);
        // The board notices the new settings by itself, before any byte comes.
        QTRY_VERIFY(!changed.isEmpty());
        QCOMPARE(changed.last().at(0).toInt(), baud);
        port->write(bytesOf("06 05 49 44"));
        QTRY_VERIFY(line.logHas(
            QStringLiteral("line noise: 4 byte(s) dropped (line at %1 baud, board at 9600 baud)")
                .arg(baud)));
        QCOMPARE(line.model.page(), 0);
        QVERIFY(!line.logHas(QStringLiteral("Identify")));
        QVERIFY(!line.logHas(QStringLiteral("reply")));
    }

    void baudRateChange() {
        Line line;
        QVERIFY2(line.terminal.open(), qPrintable(line.terminal.errorString()));
        auto port = openPort(line.terminal.slavePath(), 9600);
        QVERIFY(port);
        port->write(bytesOf("0F 04")); // SetBaudRate 19200, sent at 9600
        QTRY_COMPARE(line.model.baud(), 19200);
        // Still at 9600 the program is not understood, and hears nothing.
        port->write(bytesOf("49 44"));
        QTRY_VERIFY(line.logHas(QStringLiteral("line noise: 2 byte(s) dropped")));
        QVERIFY(port->readAll().isEmpty());
        QVERIFY(port->setBaudRate(19200));
        QTRY_COMPARE(line.terminal.lineBaud(), 19200);
        port->write(bytesOf("49 44"));
        QByteArray got;
        QTRY_VERIFY((got += port->readAll()).size() >= 3);
        COMPARE_HEX(got, QByteArray("32!"));
    }

    void replyNotSentWhileRatesDiffer() {
        Line line;
        QVERIFY2(line.terminal.open(), qPrintable(line.terminal.errorString()));
        QVERIFY(line.terminal.setLineBaud(38400));
        line.model.touch(1, 1); // touch off: nothing
        line.model.setTouchMode(1);
        line.model.touch(5, 6);
        QVERIFY(line.logHas(
            QStringLiteral("reply \"X5Y6!\" not sent: line at 38400 baud, board at 9600 baud")));
    }

    void rateChangeWhileTheBoardIsBusy() {
        // Board and program in one thread: the program sends SetBaudRate, switches its line to
        // the new rate and asks again before the board reads anything. The waiting bytes are
        // judged at the old or the new rate, so the board follows as a real one would.
        Line line;
        QVERIFY2(line.terminal.open(), qPrintable(line.terminal.errorString()));
        const int fd = ::open(QFile::encodeName(line.terminal.slavePath()).constData(),
                              O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        termios t{};
        QCOMPARE(::tcgetattr(fd, &t), 0);
        QCOMPARE(::write(fd, "\x0F\x04", 2), 2);
        ::cfsetspeed(&t, B19200);
        QCOMPARE(::tcsetattr(fd, TCSANOW, &t), 0);
        QCOMPARE(::write(fd, "\x49\x44", 2), 2);
        QByteArray got;
        char buffer[16];
        QTRY_VERIFY([&] {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, n);
            return got.size() >= 3;
        }());
        COMPARE_HEX(got, QByteArray("32!"));
        QCOMPARE(line.model.baud(), 19200);
        ::close(fd);
    }

    void link() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("board"));
        {
            Line line;
            QVERIFY(line.terminal.open());
            QVERIFY2(line.terminal.createLink(path), qPrintable(line.terminal.errorString()));
            QCOMPARE(QFileInfo(path).symLinkTarget(), line.terminal.slavePath());
            // A port opened through the link reaches the board.
            auto port = openPort(path, 9600);
            QVERIFY(port);
            port->write(bytesOf("06 02"));
            QTRY_COMPARE(line.model.page(), 2);
        }
        QVERIFY(!QFileInfo(path).isSymLink()); // removed with the terminal
    }

    void staleLinkReplacedOtherFileKept() {
        QTemporaryDir dir;
        const QString stale = dir.filePath(QStringLiteral("stale"));
        QVERIFY(QFile::link(QStringLiteral("/dev/pts/nonexistent"), stale));
        const QString plain = dir.filePath(QStringLiteral("plain"));
        QFile file(plain);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
        file.close();

        Line line;
        QVERIFY(line.terminal.open());
        QVERIFY(line.terminal.createLink(stale));
        QCOMPARE(QFileInfo(stale).symLinkTarget(), line.terminal.slavePath());
        QVERIFY(!line.terminal.createLink(plain));
        QVERIFY(line.terminal.errorString().contains(QStringLiteral("not a link")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep"));
    }

    void floodIsTakenInSlices() {
        // A peer writes PutPattern without pause. The terminal takes a bounded slice per turn of
        // the event loop, so a termination signal raised during the flood is served after at
        // most one more slice, long before the writer is done.
        display::BoardModel model;
        display::CommandInterpreter interpreter(model);
        PseudoTerminal terminal(model, interpreter);
        QVERIFY2(terminal.open(), qPrintable(terminal.errorString()));
        const int fd = ::open(QFile::encodeName(terminal.slavePath()).constData(),
                              O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        constexpr qint64 kFlood = 64 * PseudoTerminal::kSliceBytes;
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            const QByteArray chunk = QByteArray("\x03\xA5").repeated(8192);
            for (qint64 written = 0; written < kFlood && !stop;) {
                const ssize_t n =
                    ::write(fd, chunk.constData(),
                            std::size_t(std::min<qint64>(chunk.size(), kFlood - written)));
                if (n > 0) {
                    written += n;
                } else {
                    pollfd p{fd, POLLOUT, 0};
                    ::poll(&p, 1, 20);
                }
            }
        });

        TerminationSignals termination;
        QVERIFY(termination.isValid());
        QEventLoop loop;
        qint64 largestSlice = 0;
        qint64 before = 0;
        qint64 atRaise = -1;
        qint64 atSignal = -1;
        connect(&terminal, &PseudoTerminal::bytesArrived, &loop, [&] {
            largestSlice = std::max(largestSlice, terminal.bytesRead() - before);
            before = terminal.bytesRead();
            if (atRaise < 0 && terminal.bytesRead() >= 4 * PseudoTerminal::kSliceBytes) {
                atRaise = terminal.bytesRead();
                ::raise(SIGTERM);
            }
        });
        connect(&termination, &TerminationSignals::terminationRequested, &loop, [&] {
            atSignal = terminal.bytesRead();
            loop.quit();
        });
        QTimer::singleShot(60'000, &loop, &QEventLoop::quit); // against a hang, not a measure
        loop.exec();
        stop = true;
        writer.join();
        ::close(fd);

        qInfo("largest slice %lld bytes; signal raised at %lld, served at %lld of %lld bytes",
              largestSlice, atRaise, atSignal, kFlood);
        QVERIFY(atRaise > 0);
        QVERIFY(atSignal >= atRaise);
        QVERIFY(largestSlice <= PseudoTerminal::kSliceBytes);
        QVERIFY(atSignal - atRaise <= 2 * PseudoTerminal::kSliceBytes);
        QVERIFY(atSignal < kFlood);
        QCOMPARE(model.pageByte(0, 0), 0xA5); // and the slices were decoded
    }

private:
    static QByteArray identifyQuery() { return bytesOf("49 44"); }
};

QTEST_GUILESS_MAIN(TestPseudoTerminal)
#include "tst_pseudoterminal.moc"
