// The real port against a pseudo-terminal standing in for the board: bytes both ways unchanged,
// line settings on the line, full buffers, hang-ups and closing.

#include "protocol/BaudRates.h"
#include "protocol/LineSettings.h"
#include "transport/QtSerialPort.h"
#include "support/HexCompare.h"
#include "support/PtyPair.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <QTemporaryDir>
#include <atomic>
#include <sys/stat.h>
#include <thread>

Q_DECLARE_METATYPE(protocol::LineSettings)

namespace {

constexpr int kPort = 3;

// Every byte value, in a pattern that does not repeat every 256 bytes.
QByteArray patternOf(qsizetype size) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// Where two byte strings first differ, for a readable failure on megabyte comparisons.
QByteArray firstDifference(const QByteArray& actual, const QByteArray& expected) {
    const qsizetype n = std::min(actual.size(), expected.size());
    for (qsizetype i = 0; i < n; ++i)
        if (actual[i] != expected[i])
            return "first difference at offset " + QByteArray::number(i) + ": got " +
                   hexOf(actual.mid(i, 8)) + ", expected " + hexOf(expected.mid(i, 8));
    return "sizes " + QByteArray::number(actual.size()) + " and " +
           QByteArray::number(expected.size());
}

} // namespace

class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    void propertiesReadBack();
    void lineSettingsReachTheLine_data();
    void lineSettingsReachTheLine();
    void badSettingsFailToOpen_data();
    void badSettingsFailToOpen();
    void openFailures_data();
    void openFailures();
    void openFailureWording_data();
    void openFailureWording();
    void secondOpenFails();
    void portHeldByAnotherInstance();
    void outputSendsExactBytes_data();
    void outputSendsExactBytes();
    void inputReturnsExactBytes_data();
    void inputReturnsExactBytes();
    void inputKeepsOrderAcrossTheEventLoop();
    void closedPortIsSilent();
    void largeOutputToASlowReader();
    void hangUpLosesThePortOnce_data();
    void hangUpLosesThePortOnce();
    void closeDeliversQueuedBytes();
    void closeDoesNotHangWhenNobodyReads();
    void closeDropsUnreadInput();

private:
    static bool openOn(QtSerialPort& port, const protocol::LineSettings& settings = {});
};

bool TestQtSerialPort::openOn(QtSerialPort& port, const protocol::LineSettings& settings) {
    port.setCommPort(kPort);
    port.setSettings(settings);
    const OpenResult result = port.openPort();
    if (!result.ok)
        qWarning("openPort failed: %d %s", result.errorNumber(), qPrintable(result.description));
    return result.ok && port.portOpen();
}

void TestQtSerialPort::propertiesReadBack() {
    QtSerialPort port{PortMap()};
    QVERIFY(!port.portOpen());
    port.setCommPort(3);
    port.setSettings(protocol::LineSettings{19200});
    QCOMPARE(port.commPort(), 3);
    QCOMPARE(port.settings().text(), QStringLiteral("19200,N,8,1"));
}

void TestQtSerialPort::lineSettingsReachTheLine_data() {
    QTest::addColumn<int>("rateIndex");
    for (int i = 0; i < protocol::kRateCount; ++i)
        QTest::addRow("%s", qPrintable(protocol::LineSettings::ofRateIndex(i)->text())) << i;
}

void TestQtSerialPort::lineSettingsReachTheLine() {
    QFETCH(int, rateIndex);
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    const protocol::LineSettings settings = *protocol::LineSettings::ofRateIndex(rateIndex);
    QVERIFY(openOn(port, settings));
    QCOMPARE(port.settings(), settings);

    const PtyPair::LineSettings line = pty.lineSettings();
    QCOMPARE(line.baud, protocol::baudOfIndex(rateIndex));
    QCOMPARE(line.stopBits, 1);
    QCOMPARE(line.dataBits, 8);
    QCOMPARE(line.parity, 'N');
    QVERIFY(!line.rtsCts);
    QVERIFY(!line.xonXoff);
    port.closePort();
}

void TestQtSerialPort::badSettingsFailToOpen_data() {
    QTest::addColumn<protocol::LineSettings>("settings");
    QTest::newRow("even parity") << protocol::LineSettings{9600, 'E', 8, 1};
    QTest::newRow("7 data bits") << protocol::LineSettings{9600, 'N', 7, 1};
    QTest::newRow("2 stop bits") << protocol::LineSettings{9600, 'N', 8, 2};
    QTest::newRow("no rate") << protocol::LineSettings{0};
}

void TestQtSerialPort::badSettingsFailToOpen() {
    QFETCH(protocol::LineSettings, settings);
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    port.setCommPort(kPort);
    port.setSettings(settings);
    const OpenResult result = port.openPort();
    QVERIFY(!result.ok);
    QCOMPARE(result.errorNumber(), int(QSerialPort::UnsupportedOperationError));
    QVERIFY2(result.description.contains(pty.slavePath()), qPrintable(result.description));
    QVERIFY(!port.portOpen());
    QVERIFY(!port.output(bytesOf("10")));
}

void TestQtSerialPort::openFailures_data() {
    QTest::addColumn<QString>("devicePath"); // empty: the number has no device
    QTest::addColumn<int>("errorNumber");
    QTest::addColumn<QStringList>("mentions");
    QTest::newRow("missing device path")
        << QStringLiteral("/dev/vantrel-no-such-device") << int(QSerialPort::DeviceNotFoundError)
        << QStringList{"/dev/vantrel-no-such-device", "does not exist"};
    QTest::newRow("number without a device") << QString() << int(QSerialPort::DeviceNotFoundError)
                                             << QStringList{"port 3", "VANTREL_COM3"};
    QTest::newRow("device that is no terminal")
        << QStringLiteral("/dev/null") << -1 << QStringList{"/dev/null is not a serial port"};
    // A file or a FIFO is refused at once: nothing blocks on a FIFO without a writer.
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("file"));
    QFile(file).open(QIODevice::WriteOnly);
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ::mkfifo(fifo.toLocal8Bit().constData(), 0600);
    QTest::newRow("regular file") << file << -1 << QStringList{file + " is not a serial port"};
    QTest::newRow("fifo") << fifo << -1 << QStringList{fifo + " is not a serial port"};
}

void TestQtSerialPort::openFailures() {
    QFETCH(QString, devicePath);
    QFETCH(int, errorNumber);
    QFETCH(QStringList, mentions);
    QMap<int, QString> table;
    if (!devicePath.isEmpty())
        table.insert(kPort, devicePath);
    QtSerialPort port{PortMap(table)};
    port.setCommPort(kPort);
    const OpenResult result = port.openPort();
    QVERIFY(!result.ok);
    if (errorNumber >= 0)
        QCOMPARE(result.errorNumber(), errorNumber);
    QVERIFY(result.errorNumber() != 0);
    for (const QString& m : mentions)
        QVERIFY2(result.description.contains(m), qPrintable(result.description));
    QVERIFY(!port.portOpen());
}

void TestQtSerialPort::openFailureWording_data() {
    using F = QtSerialPort::OpenFailure;
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("denied");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("expected");
    Q_UNUSED(F{});
    QTest::newRow("permission, dialout")
        << int(QSerialPort::PermissionError) << true << true << QStringLiteral("dialout")
        << QStringLiteral("Permission denied: this user may not open /dev/ttyUSB0. Add your user "
                          "to the group 'dialout' (sudo usermod -aG dialout $USER) and log in "
                          "again.");
    QTest::newRow("permission, uucp")
        << int(QSerialPort::PermissionError) << true << true << QStringLiteral("uucp")
        << QStringLiteral("Permission denied: this user may not open /dev/ttyUSB0. Add your user "
                          "to the group 'uucp' (sudo usermod -aG uucp $USER) and log in again.");
    QTest::newRow("permission, root only")
        << int(QSerialPort::PermissionError) << true << true << QStringLiteral("root")
        << QStringLiteral("Permission denied: this user may not open /dev/ttyUSB0. Ask the "
                          "administrator for read and write access to it.");
    QTest::newRow("held by another program")
        << int(QSerialPort::PermissionError) << true << false << QStringLiteral("dialout")
        << QStringLiteral("/dev/ttyUSB0 is in use by another program, or cannot be locked "
                          "(Device or resource busy). Close the other program and try again.");
    QTest::newRow("unplugged")
        << int(QSerialPort::DeviceNotFoundError) << false << false << QString()
        << QStringLiteral("The serial device /dev/ttyUSB0 does not exist. Is the adapter "
                          "plugged in?");
    QTest::newRow("other failure")
        << int(QSerialPort::OpenError) << true << false << QStringLiteral("dialout")
        << QStringLiteral("Cannot open /dev/ttyUSB0: Device or resource busy.");
}

void TestQtSerialPort::openFailureWording() {
    QFETCH(int, error);
    QFETCH(bool, exists);
    QFETCH(bool, denied);
    QFETCH(QString, group);
    QFETCH(QString, expected);
    QtSerialPort::OpenFailure f;
    f.portNumber = 2;
    f.devicePath = QStringLiteral("/dev/ttyUSB0");
    f.settings = QStringLiteral("9600,N,8,1");
    f.error = error;
    f.systemText = QStringLiteral("Device or resource busy");
    f.deviceExists = exists;
    f.accessDenied = denied;
    f.deviceGroup = group;
    QCOMPARE(QtSerialPort::describeOpenFailure(f), expected);
}

void TestQtSerialPort::secondOpenFails() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    QVERIFY(openOn(port));
    const OpenResult again = port.openPort();
    QVERIFY(!again.ok);
    QVERIFY(again.description.contains(pty.slavePath()));
    QVERIFY(port.portOpen());
    // And a close really releases the device: it opens again.
    port.closePort();
    QVERIFY(!port.portOpen());
    QVERIFY(openOn(port));
}

void TestQtSerialPort::portHeldByAnotherInstance() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort first(pty.portMap(kPort));
    QtSerialPort second(pty.portMap(kPort));
    QVERIFY(openOn(first));
    second.setCommPort(kPort);
    const OpenResult refused = second.openPort();
    QVERIFY(!refused.ok);
    QCOMPARE(refused.errorNumber(), int(QSerialPort::PermissionError));
    QVERIFY2(refused.description.contains(pty.slavePath() + QStringLiteral(" is in use")),
             qPrintable(refused.description));
    QVERIFY(!second.portOpen());
    QVERIFY(first.portOpen());
    first.closePort();
    QVERIFY(openOn(second));
}

void TestQtSerialPort::outputSendsExactBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("10 FF") << bytesOf("10 FF");
    QTest::newRow("NUL") << bytesOf("00");
    QTest::newRow("high bytes") << bytesOf("80 81 9B FE FF");
    QTest::newRow("line ends stay") << bytesOf("0D 0A 0D");
    QTest::newRow("flow and signal characters") << bytesOf("11 13 03 1A 1C 04 7F");
    QTest::newRow("every byte value") << patternOf(256);
}

void TestQtSerialPort::outputSendsExactBytes() {
    QFETCH(QByteArray, bytes);
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    QVERIFY(openOn(port));
    // Handed to the device at once: the board reads them without the event loop running.
    QVERIFY(port.output(bytes));
    QCOMPARE(port.bytesToWrite(), qint64(0));
    COMPARE_HEX(pty.readFromPort(bytes.size()), bytes);
    COMPARE_HEX(pty.readFromPort(1, 50), QByteArray()); // nothing added
}

void TestQtSerialPort::inputReturnsExactBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("80") << bytesOf("80");
    QTest::newRow("00") << bytesOf("00");
    QTest::newRow("FF") << bytesOf("FF");
    QTest::newRow("mixed") << bytesOf("00 80 FF 0D 0A 1A 11 13 03");
    QTest::newRow("every byte value") << patternOf(256);
}

void TestQtSerialPort::inputReturnsExactBytes() {
    QFETCH(QByteArray, bytes);
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    QVERIFY(openOn(port));
    QVERIFY(pty.writeToPort(bytes));
    // No event loop between the board's write and input(), as inside a handler.
    COMPARE_HEX(port.input(), bytes);
    COMPARE_HEX(port.input(), QByteArray());
    QVERIFY(port.portOpen());
}

void TestQtSerialPort::inputKeepsOrderAcrossTheEventLoop() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    QVERIFY(openOn(port));
    // Part of the reply arrives while the event loop runs (QSerialPort buffers it), the rest
    // after; input() returns both, oldest first.
    QVERIFY(pty.writeToPort(bytesOf("01 02 03")));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QVERIFY(pty.writeToPort(bytesOf("04 05")));
    COMPARE_HEX(port.input(), bytesOf("01 02 03 04 05"));
    COMPARE_HEX(port.input(), QByteArray());
    QVERIFY(port.portOpen());
}

void TestQtSerialPort::closedPortIsSilent() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    QSignalSpy lost(&port, &SerialPort::portLost);
    QVERIFY(!port.output(bytesOf("10 FF")));
    COMPARE_HEX(port.input(), QByteArray());
    COMPARE_HEX(pty.readAvailable(), QByteArray());
    port.closePort(); // closing a closed port does nothing
    QCOMPARE(lost.count(), 0);
}

void TestQtSerialPort::largeOutputToASlowReader() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    QVERIFY(openOn(port, protocol::LineSettings{115200}));
    QSignalSpy lost(&port, &SerialPort::portLost);

    const QByteArray big = patternOf(1024 * 1024);
    const QByteArray tail = bytesOf("0F 08 00 FF");
    QVERIFY(port.output(big));
    QVERIFY2(port.bytesToWrite() > 0, "the pty should not take a megabyte at once");
    QVERIFY(port.output(tail)); // queued behind the rest, not before it
    QCOMPARE(port.bytesToWrite() > qint64(tail.size()), true);

    // The board reads in small pieces; the port drains its queue from the event loop.
    QByteArray got;
    const QByteArray expected = big + tail;
    QElapsedTimer safety; // only ends a broken run; not a measurement
    safety.start();
    while (got.size() < expected.size() && safety.elapsed() < 120000) {
        got += pty.readFromPort(4096, 5);
        QCoreApplication::processEvents();
    }
    QVERIFY2(got == expected, firstDifference(got, expected).constData());
    QCOMPARE(port.bytesToWrite(), qint64(0));
    QVERIFY(port.portOpen());
    QCOMPARE(lost.count(), 0);
}

void TestQtSerialPort::hangUpLosesThePortOnce_data() {
    QTest::addColumn<QString>("noticedBy");
    QTest::newRow("event loop") << QStringLiteral("event loop");
    QTest::newRow("output") << QStringLiteral("output");
    QTest::newRow("input") << QStringLiteral("input");
    QTest::newRow("queued output") << QStringLiteral("queued output");
    QTest::newRow("close") << QStringLiteral("close");
}

void TestQtSerialPort::hangUpLosesThePortOnce() {
    QFETCH(QString, noticedBy);
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    QVERIFY(openOn(port));
    QSignalSpy lost(&port, &SerialPort::portLost);
    if (noticedBy == QStringLiteral("queued output") || noticedBy == QStringLiteral("close")) {
        QVERIFY(port.output(patternOf(256 * 1024)));
        QVERIFY(port.bytesToWrite() > 0);
    }
    pty.closeMaster();

    if (noticedBy == QStringLiteral("output")) {
        QVERIFY(!port.output(bytesOf("10 FF")));
        QCOMPARE(lost.count(), 1);
    } else if (noticedBy == QStringLiteral("input")) {
        COMPARE_HEX(port.input(), QByteArray());
        QCOMPARE(lost.count(), 1);
    } else if (noticedBy == QStringLiteral("close")) {
        port.closePort();
        QCOMPARE(lost.count(), 1);
    } else {
        QTRY_COMPARE(lost.count(), 1);
    }
    QVERIFY(!port.portOpen());
    QCOMPARE(port.bytesToWrite(), qint64(0));
    QCOMPARE(lost.at(0).at(0).toString(), pty.slavePath());
    QVERIFY(!lost.at(0).at(1).toString().isEmpty());

    // Nothing more is reported, whatever the program does next.
    QVERIFY(!port.output(bytesOf("10")));
    COMPARE_HEX(port.input(), QByteArray());
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    port.closePort();
    QCOMPARE(lost.count(), 1);
}

void TestQtSerialPort::closeDeliversQueuedBytes() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    QVERIFY(openOn(port));

    // A message written just before the close leaves before the port closes.
    QVERIFY(port.output(bytesOf("0F 04")));
    port.closePort();
    QVERIFY(!port.portOpen());
    COMPARE_HEX(pty.readFromPort(2), bytesOf("0F 04"));

    // Also a queue the device has not taken yet, while the board reads.
    QVERIFY(openOn(port));
    const QByteArray bytes = patternOf(40 * 1024);
    QVERIFY(port.output(bytes));
    QVERIFY(port.bytesToWrite() > 0);
    QByteArray got;
    std::atomic<bool> closed{false};
    std::thread board([&] {
        // Reads until everything came, or until a read that began after the close found
        // nothing: what was handed over before the close is in the pty by then.
        while (got.size() < bytes.size()) {
            const bool afterClose = closed;
            const QByteArray chunk = pty.readFromPort(bytes.size() - got.size(), 20);
            if (chunk.isEmpty() && afterClose)
                break;
            got += chunk;
        }
    });
    port.closePort();
    closed = true;
    board.join();
    QVERIFY(!port.portOpen());
    QCOMPARE(port.bytesToWrite(), qint64(0));
    QVERIFY2(got == bytes, firstDifference(got, bytes).constData());
}

void TestQtSerialPort::closeDoesNotHangWhenNobodyReads() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    QVERIFY(openOn(port, protocol::LineSettings{2400}));
    QSignalSpy lost(&port, &SerialPort::portLost);
    QVERIFY(port.output(patternOf(512 * 1024)));
    QVERIFY(port.bytesToWrite() > 0);
    port.closePort(); // returns although the board never reads
    QVERIFY(!port.portOpen());
    QCOMPARE(port.bytesToWrite(), qint64(0));
    QCOMPARE(lost.count(), 0);
    QVERIFY(openOn(port)); // and the device is free again
}

void TestQtSerialPort::closeDropsUnreadInput() {
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    QtSerialPort port(pty.portMap(kPort));
    QVERIFY(openOn(port));
    QVERIFY(pty.writeToPort(bytesOf("41 42 43")));
    port.closePort();
    QVERIFY(openOn(port));
    COMPARE_HEX(port.input(), QByteArray());
    QVERIFY(pty.writeToPort(bytesOf("44")));
    COMPARE_HEX(port.input(), bytesOf("44"));
}

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "tst_qtserialport.moc"
