// The port list of the connection panel following a fake system: entries that appear and go,
// numbers that shift under the selection, a list that waits while connected, a lost adapter
// that comes back. The watcher is driven by calling its rescan() (no waiting), except in the
// last test, where the real window meets the virtual board through the file system.

#include "app/MainWindow.h"
#include "board/VirtualBoard.h"
#include "engine/BoardSession.h"
#include "panels/connection/ConnectionPanel.h"
#include "serial/PortWatcher.h"
#include "transport/QtSerialPort.h"
#include "support/FakePortSystem.h"
#include "support/FakeSerialPort.h"
#include "support/FindControl.h"
#include "support/RecordingDialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTest>
#include <memory>

namespace {

const QString kFtdi = QStringLiteral("ttyUSB0|FT232R USB UART|A1|usb-FTDI_A1");
const QString kFtdi2 = QStringLiteral("ttyUSB1|FT231X|B2|usb-FTDI_B2");
const QString kPico = QStringLiteral("ttyACM0|Pico|P3|");

// The connection panel on a fake port, its map read from a fake system.
struct PortListFixture {
    explicit PortListFixture(const QStringList& adapters) {
        for (const QString& adapter : adapters)
            plugged = fake.plug(adapter) && plugged;
        map = PortMap::fromSystem(fake.system());
        panel = std::make_unique<ConnectionPanel>(session, dialogs, map);
        panel->fillLists();
        statusTexts =
            std::make_unique<QSignalSpy>(panel.get(), &ConnectionPanel::statusTextChanged);
    }
    QComboBox* ports() const { return findControl<QComboBox>(panel.get(), "cboPort"); }
    QStringList items() const {
        QStringList texts;
        for (int i = 0; i < ports()->count(); ++i)
            texts << ports()->itemText(i);
        return texts;
    }
    bool select(const QString& device) {
        for (int i = 0; i < ports()->count(); ++i)
            if (ports()->itemText(i).section(QStringLiteral("  "), 1, 1) == device) {
                ports()->setCurrentIndex(i);
                return true;
            }
        return false;
    }
    void rescan() { panel->findChild<PortWatcher*>()->rescan(); }
    QString lastStatus() const {
        return statusTexts->isEmpty() ? QString() : statusTexts->last().at(0).toString();
    }
    // Presses Connect and lets the board answer: the session is Settling.
    void connect() {
        findControl<QPushButton>(panel.get(), "cmd_conecta")->click();
        port.receive("45!");
        panel->Timer4_Timer();
    }

    FakePortSystem fake;
    bool plugged = true;
    PortMap map; // shares its table with the panel's, as the serial port's copy does
    FakeSerialPort port;
    engine::BoardSession session{port};
    RecordingDialogs dialogs;
    std::unique_ptr<ConnectionPanel> panel;
    std::unique_ptr<QSignalSpy> statusTexts;
};

} // namespace

class tst_PortList : public QObject {
    Q_OBJECT
private slots:
    void followsTheSystem_data();
    void followsTheSystem();
    void waitsWhileConnected();
    void baudChangeReopensTheListedDevice_data();
    void baudChangeReopensTheListedDevice();
    void lostAdapterComesBack_data();
    void lostAdapterComesBack();
    void virtualBoardPluggedIn();
};

void tst_PortList::followsTheSystem_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("selected"); // device selected before the change
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("current"); // "" = nothing selected

    QTest::newRow("device appears ahead: list grows, numbers shift, selection stays on its device")
        << QStringList{kPico} << "ttyACM0" << QStringList{kFtdi, kPico}
        << QStringList{"1  ttyUSB0  FT232R USB UART", "2  ttyACM0  Pico"} << "2  ttyACM0  Pico";
    QTest::newRow("device ahead goes: numbers shift back, selection stays on its device")
        << QStringList{kFtdi, kFtdi2, kPico} << "ttyUSB1" << QStringList{kFtdi2, kPico}
        << QStringList{"1  ttyUSB1  FT231X", "2  ttyACM0  Pico"} << "1  ttyUSB1  FT231X";
    QTest::newRow("selected device goes: first port selected")
        << QStringList{kFtdi, kFtdi2, kPico} << "ttyUSB1" << QStringList{kFtdi, kPico}
        << QStringList{"1  ttyUSB0  FT232R USB UART", "2  ttyACM0  Pico"}
        << "1  ttyUSB0  FT232R USB UART";
    QTest::newRow("last device goes: nothing selected")
        << QStringList{kPico} << "ttyACM0" << QStringList{} << QStringList{} << QString();
}

void tst_PortList::followsTheSystem() {
    QFETCH(QStringList, before);
    QFETCH(QString, selected);
    QFETCH(QStringList, after);
    QFETCH(QStringList, expected);
    QFETCH(QString, current);
    PortListFixture f(before);
    QVERIFY(f.plugged);
    QVERIFY(selected.isEmpty() || f.select(selected));
    for (const QString& adapter : before)
        if (!after.contains(adapter))
            QVERIFY(f.fake.unplug(FakePortSystem::nameOf(adapter)));
    for (const QString& adapter : after)
        if (!before.contains(adapter))
            QVERIFY(f.fake.plug(adapter));
    f.rescan();
    QCOMPARE(f.items(), expected);
    QCOMPARE(f.ports()->currentText(), current);
    QCOMPARE(f.fake.deviceOpens(), 0);
    QCOMPARE(f.port.openCount, 0);

    // Connect opens the number of the selected entry, and that number leads to its device.
    findControl<QPushButton>(f.panel.get(), "cmd_conecta")->click();
    if (current.isEmpty()) {
        QCOMPARE(f.port.openCount, 0);
        QCOMPARE(f.dialogs.messages.size(), 1);
        return;
    }
    QCOMPARE(f.port.openCount, 1);
    QCOMPARE(f.port.commPort(), current.section(u' ', 0, 0).toInt());
    QCOMPARE(f.map.devicePath(f.port.commPort()),
             f.fake.deviceDir() + u'/' + current.section(QStringLiteral("  "), 1, 1));
}

// While a port is in use its number keeps its device; the list catches up on disconnecting.
void tst_PortList::waitsWhileConnected() {
    PortListFixture f({kPico});
    QVERIFY(f.plugged);
    f.connect();
    QCOMPARE(f.session.state(), engine::SessionState::Settling);
    QVERIFY(f.fake.plug(kFtdi)); // would take number 1
    f.rescan();
    QCOMPARE(f.items(), QStringList{"1  ttyACM0  Pico"});
    QVERIFY(!f.ports()->isEnabled());
    QCOMPARE(f.map.devicePath(1), f.fake.deviceDir() + QStringLiteral("/ttyACM0"));

    findControl<QPushButton>(f.panel.get(), "cmd_conecta")->click(); // Disconnect
    QVERIFY(f.ports()->isEnabled());
    QCOMPARE(f.items(), (QStringList{"1  ttyUSB0  FT232R USB UART", "2  ttyACM0  Pico"}));
    QCOMPARE(f.ports()->currentText(), QStringLiteral("2  ttyACM0  Pico"));
    QCOMPARE(f.fake.deviceOpens(), 0);
}

// The reconnect after a baud-rate change opens the device the list shows, though an adapter
// came or went during the pause and shifted the numbers.
void tst_PortList::baudChangeReopensTheListedDevice_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("plugAhead"); // else the adapter ahead is pulled
    QTest::newRow("an adapter plugged in ahead") << QStringList{kPico} << true;
    QTest::newRow("the adapter ahead pulled") << QStringList{kFtdi, kPico} << false;
}

void tst_PortList::baudChangeReopensTheListedDevice() {
    QFETCH(QStringList, before);
    QFETCH(bool, plugAhead);
    PortListFixture f(before);
    QVERIFY(f.plugged && f.select(QStringLiteral("ttyACM0")));
    f.connect();
    findControl<QPushButton>(f.panel.get(), "Command4")->click();
    QVERIFY(plugAhead ? f.fake.plug(kFtdi) : f.fake.unplug(QStringLiteral("ttyUSB0")));
    f.rescan();
    f.panel->BaudChangePause_Timer();
    QCOMPARE(f.port.openCount, 2);
    const QString device = f.fake.deviceDir() + QStringLiteral("/ttyACM0");
    QCOMPARE(f.map.devicePath(f.port.commPort()), device);
    QCOMPARE(f.map.devicePath(f.ports()->currentData().toInt()), device);
}

void tst_PortList::lostAdapterComesBack_data() {
    QTest::addColumn<QStringList>("others"); // present throughout
    QTest::addColumn<QString>("lost");
    QTest::addColumn<bool>("goneFirst"); // the device node goes before the loss is told
    QTest::addColumn<QString>("returning");
    QTest::addColumn<QString>("status"); // the last status text
    QTest::addColumn<QString>("current");

    QTest::newRow("same adapter, same name")
        << QStringList{kPico} << kFtdi << false << kFtdi << "COM1 (ttyUSB0) is back: press Connect"
        << "1  ttyUSB0  FT232R USB UART";
    QTest::newRow("same adapter, gone before the loss is told")
        << QStringList{kPico} << kFtdi << true << kFtdi << "COM1 (ttyUSB0) is back: press Connect"
        << "1  ttyUSB0  FT232R USB UART";
    QTest::newRow("same by-id name under another device name and number")
        << QStringList{kFtdi} << "ttyUSB1|FT232R USB UART|A9|usb-FTDI_A9" << false
        << "ttyUSB2|FT232R USB UART|A9|usb-FTDI_A9"
        << "COM2 (ttyUSB2) is back: press Connect"
        << "2  ttyUSB2  FT232R USB UART";
    QTest::newRow("same serial number, no by-id name")
        << QStringList{} << "ttyACM1|Pico|E661|" << false << "ttyACM3|Pico|E661|"
        << "COM1 (ttyACM3) is back: press Connect"
        << "1  ttyACM3  Pico";
    QTest::newRow("another adapter comes: not announced")
        << QStringList{kPico} << kFtdi << false << "ttyUSB0|FT232R USB UART|Z7|usb-FTDI_Z7"
        << "Controller Disconnected"
        << "2  ttyACM0  Pico";
    QTest::newRow("adapter without identity: not announced")
        << QStringList{} << "ttyUSB0|CP2102||" << false << "ttyUSB0|CP2102||"
        << "Controller Disconnected"
        << "2  ttyS0";
}

void tst_PortList::lostAdapterComesBack() {
    QFETCH(QStringList, others);
    QFETCH(QString, lost);
    QFETCH(bool, goneFirst);
    QFETCH(QString, returning);
    QFETCH(QString, status);
    QFETCH(QString, current);
    PortListFixture f(others + QStringList{lost});
    QVERIFY(f.plugged);
    QVERIFY(f.select(FakePortSystem::nameOf(lost)));
    f.connect();
    QCOMPARE(f.session.state(), engine::SessionState::Settling);

    if (goneFirst)
        QVERIFY(f.fake.unplug(FakePortSystem::nameOf(lost)));
    f.port.loseDevice(QStringLiteral("Input/output error"));
    QCOMPARE(f.session.state(), engine::SessionState::Disconnected);
    QCOMPARE(f.lastStatus(), QStringLiteral("Controller Disconnected"));
    // The list changes while the lost adapter's own entry is still listed, or already gone:
    // no return yet.
    QVERIFY(f.fake.plug(QStringLiteral("ttyS0")));
    f.rescan();
    QCOMPARE(f.lastStatus(), QStringLiteral("Controller Disconnected"));
    if (!goneFirst) {
        QVERIFY(f.fake.unplug(FakePortSystem::nameOf(lost)));
        f.rescan();
    }
    QVERIFY(f.fake.plug(returning));
    f.rescan();
    QCOMPARE(f.lastStatus(), status);
    QCOMPARE(f.ports()->currentText(), current);
    const int told = int(f.statusTexts->count());
    f.rescan(); // told once
    QCOMPARE(f.statusTexts->count(), told);
    QCOMPARE(f.port.openCount, 1); // nothing reconnected by itself
    QCOMPARE(f.session.state(), engine::SessionState::Disconnected);
    QCOMPARE(f.fake.deviceOpens(), 0);
}

// The real window on QtSerialPort; the virtual board appears as the device that VANTREL_COM2
// names, through a link in a folder standing in for /dev, and goes when the board stops.
void tst_PortList::virtualBoardPluggedIn() {
    FakePortSystem fake;
    QVERIFY(fake.isValid());
    const QString link = fake.deviceDir() + QStringLiteral("/vantrel-board");
    const PortMap map = PortMap::fromSystem(fake.system({QStringLiteral("VANTREL_COM2=") + link}));
    QtSerialPort port(map);
    RecordingDialogs dialogs;
    auto window = std::make_unique<MainWindow>(port, dialogs, map);
    auto* ports = findControl<QComboBox>(window.get(), "cboPort");
    auto* connectButton = findControl<QPushButton>(window.get(), "cmd_conecta");
    QCOMPARE(ports->count(), 0);

    auto board = std::make_unique<VirtualBoard>();
    QVERIFY2(board->open(), qPrintable(board->errorString()));
    QVERIFY(QFile::link(board->devicePath(), link));
    const QString entry = QStringLiteral("2  ") + board->devicePath().mid(int(qstrlen("/dev/")));
    QTRY_COMPARE(ports->count(), 1);
    QCOMPARE(ports->currentText(), entry);
    QVERIFY(ports->itemData(0, Qt::ToolTipRole).toString().startsWith(link));

    connectButton->click();
    QTRY_VERIFY(findControl<QTimer>(window.get(), "Timer2")->isActive());
    QCOMPARE(findControl<QLabel>(window.get(), "StatusPanel1")->text(),
             QStringLiteral("Connected: COM2 9600,N,8,1"));
    connectButton->click(); // Disconnect
    QVERIFY(ports->isEnabled());

    board.reset(); // the pseudo-terminal closes; the link leads nowhere
    QTRY_COMPARE(ports->count(), 0);
    QVERIFY(dialogs.messages.isEmpty());
}

QTEST_MAIN(tst_PortList)
#include "tst_portlist.moc"
