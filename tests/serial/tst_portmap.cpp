// Port numbers to devices: environment overrides, family and numeric order, existence, and
// what the port list says about each device.

#include "serial/PortMap.h"
#include "support/FakePortSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// "1=/dev/ttyUSB2;3=/dev/ttyACM0" for the numbers 1..16 that have a device.
QString mappingOf(const PortMap& map) {
    QStringList parts;
    for (int n = PortMap::kFirstPort; n <= PortMap::kLastPort; ++n)
        if (!map.devicePath(n).isEmpty())
            parts << QStringLiteral("%1=%2").arg(n).arg(map.devicePath(n));
    return parts.join(u';');
}

QProcessEnvironment environmentOf(const QStringList& assignments) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin")); // unrelated variables stay out
    for (const QString& a : assignments)
        env.insert(a.section(u'=', 0, 0), a.section(u'=', 1));
    return env;
}

bool makeFile(const QString& path, const QByteArray& content = {}) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

} // namespace

class TestPortMap : public QObject {
    Q_OBJECT
private slots:
    void existingPorts_data();
    void existingPorts();
    void build_data();
    void build();
    void existenceUsesTheFileSystem();
    void sysfsListsRealSerialDevicesOnly();
    void entries_data();
    void entries();
    void copiesSeeARefresh();
};

void TestPortMap::existingPorts_data() {
    QTest::addColumn<QStringList>("table"); // "n=path"
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("ports 1, 3 and 17 present")
        << QStringList{"1=/dev/a", "3=/dev/b", "17=/dev/c"}
        << QStringList{"/dev/a", "/dev/b", "/dev/c"} << QList<int>{1, 3};
    QTest::newRow("no port present") << QStringList{} << QStringList{} << QList<int>{};
    QTest::newRow("mapped but no device file")
        << QStringList{"1=/dev/a", "2=/dev/b"} << QStringList{"/dev/b"} << QList<int>{2};
    QTest::newRow("numbers 0 and 16") << QStringList{"0=/dev/z", "16=/dev/p"}
                                      << QStringList{"/dev/z", "/dev/p"} << QList<int>{16};
}

void TestPortMap::existingPorts() {
    QFETCH(QStringList, table);
    QFETCH(QStringList, present);
    QFETCH(QList<int>, expected);
    QMap<int, QString> devices;
    for (const QString& row : table)
        devices.insert(row.section(u'=', 0, 0).toInt(), row.section(u'=', 1));
    QStringList probed;
    const PortMap map(devices, [&](const QString& path) {
        probed << path;
        return present.contains(path);
    });
    QCOMPARE(map.existingPorts(), expected);
    QVERIFY2(!probed.contains(QStringLiteral("/dev/c")), "ports above 16 are never probed");
}

void TestPortMap::build_data() {
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("system");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no devices") << QStringList{} << QStringList{} << QString();
    QTest::newRow("families and numeric order")
        << QStringList{}
        << QStringList{"/dev/ttyS0",   "/dev/ttyACM1", "/dev/ttyUSB10", "/dev/ttyUSB2",
                       "/dev/ttyACM0", "/dev/ttyAMA1", "/dev/ttyS1",    "/dev/ttyAMA0"}
        << "1=/dev/ttyUSB2;2=/dev/ttyUSB10;3=/dev/ttyACM0;4=/dev/ttyACM1;5=/dev/ttyAMA0;"
           "6=/dev/ttyAMA1;7=/dev/ttyS0;8=/dev/ttyS1";
    QTest::newRow("environment takes its number, the rest fill the gaps")
        << QStringList{"VANTREL_COM1=/dev/pts/7", "VANTREL_COM3=/dev/pts/9"}
        << QStringList{"/dev/ttyUSB1", "/dev/ttyUSB0", "/dev/ttyACM0"}
        << "1=/dev/pts/7;2=/dev/ttyUSB0;3=/dev/pts/9;4=/dev/ttyUSB1;5=/dev/ttyACM0";
    QTest::newRow("environment names a system device: listed once")
        << QStringList{"VANTREL_COM4=/dev/ttyUSB0"} << QStringList{"/dev/ttyUSB0", "/dev/ttyUSB1"}
        << "1=/dev/ttyUSB1;4=/dev/ttyUSB0";
    QTest::newRow("environment outside 1..16 and empty values ignored")
        << QStringList{"VANTREL_COM0=/dev/x", "VANTREL_COM17=/dev/y",
                       "VANTREL_COM2=", "VANTREL_COM=/dev/z"}
        << QStringList{"/dev/ttyUSB0"} << "1=/dev/ttyUSB0";
    QTest::newRow("duplicates listed once")
        << QStringList{} << QStringList{"/dev/ttyUSB0", "/dev/ttyUSB0"} << "1=/dev/ttyUSB0";
    QStringList many;
    QString first16;
    for (int i = 0; i < 20; ++i)
        many << QStringLiteral("/dev/ttyUSB%1").arg(i);
    for (int i = 0; i < 16; ++i)
        first16 += QStringLiteral("%1%2=/dev/ttyUSB%3").arg(i ? ";" : "").arg(i + 1).arg(i);
    QTest::newRow("more devices than numbers") << QStringList{} << many << first16;
}

void TestPortMap::build() {
    QFETCH(QStringList, environment);
    QFETCH(QStringList, system);
    QFETCH(QString, expected);
    const PortMap map =
        PortMap::build(environmentOf(environment), system, [](const QString&) { return true; });
    QCOMPARE(mappingOf(map), expected);
}

void TestPortMap::existenceUsesTheFileSystem() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString present = dir.filePath(QStringLiteral("ttyUSB0"));
    QVERIFY(makeFile(present));
    const QString missing = dir.filePath(QStringLiteral("ttyUSB1"));
    const PortMap map = PortMap::build(environmentOf({QStringLiteral("VANTREL_COM2=") + missing,
                                                      QStringLiteral("VANTREL_COM5=") + present}),
                                       {}, {});
    QCOMPARE(map.existingPorts(), QList<int>{5});
    const PortMap table({{1, missing}, {2, present}});
    QCOMPARE(table.existingPorts(), QList<int>{2});
}

void TestPortMap::sysfsListsRealSerialDevicesOnly() {
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QDir sys(root.filePath(QStringLiteral("class/tty")));
    QVERIFY(sys.mkpath(QStringLiteral(".")));
    // name, has a device behind it, serial-core type ("" = no type attribute)
    const struct {
        const char* name;
        bool device;
        const char* type;
    } entries[] = {{"ttyUSB0", true, ""},  {"ttyACM3", true, ""},    {"ttyS0", true, "4\n"},
                   {"ttyS1", true, "0\n"}, {"tty0", false, ""},      {"console", false, ""},
                   {"ptmx", false, ""},    {"ttyAMA0", true, "95\n"}};
    for (const auto& e : entries) {
        QVERIFY(sys.mkpath(QString::fromLatin1(e.name)));
        if (e.device)
            QVERIFY(sys.mkpath(QStringLiteral("%1/device").arg(QLatin1String(e.name))));
        if (*e.type)
            QVERIFY(makeFile(sys.filePath(QStringLiteral("%1/type").arg(QLatin1String(e.name))),
                             e.type));
    }
    QStringList found = PortMap::sysfsSerialDevices(sys.path(), QStringLiteral("/dev"));
    found.sort();
    QCOMPARE(found, (QStringList{"/dev/ttyACM3", "/dev/ttyAMA0", "/dev/ttyS0", "/dev/ttyUSB0"}));
    QCOMPARE(PortMap::sysfsSerialDevices(root.filePath(QStringLiteral("nothing-here"))),
             QStringList{});
}

void TestPortMap::entries_data() {
    QTest::addColumn<QStringList>("adapters"); // as FakePortSystem writes them
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("expected"); // "label | stable identity | tooltip"

    QTest::newRow("USB adapter with a by-id name")
        << QStringList{"ttyUSB0|FT232R USB UART|A50285BI|usb-FTDI_A50285BI-if00-port0"}
        << QStringList{}
        << QStringList{"1  ttyUSB0  FT232R USB UART | <dev>/serial/by-id/usb-FTDI_A50285BI-if00-"
                       "port0 | <dev>/ttyUSB0\n<dev>/serial/by-id/usb-FTDI_A50285BI-if00-port0"};
    QTest::newRow("serial number without by-id name")
        << QStringList{"ttyACM0|Pico|E6614C3|"} << QStringList{}
        << QStringList{"1  ttyACM0  Pico | usb:0403:6001:E6614C3 | <dev>/ttyACM0"};
    QTest::newRow("neither by-id name nor serial number: no identity")
        << QStringList{"ttyUSB0|CP2102 USB to UART||"} << QStringList{}
        << QStringList{"1  ttyUSB0  CP2102 USB to UART |  | <dev>/ttyUSB0"};
    QTest::newRow("built-in port: its path is its identity")
        << QStringList{"ttyS0"} << QStringList{}
        << QStringList{"1  ttyS0 | <dev>/ttyS0 | <dev>/ttyS0"};
    QTest::newRow("product with stray blanks; empty product")
        << QStringList{"ttyUSB0|  FT232R \t USB UART  |S1|", "ttyUSB1||S2|"} << QStringList{}
        << QStringList{"1  ttyUSB0  FT232R USB UART | usb:0403:6001:S1 | <dev>/ttyUSB0",
                       "2  ttyUSB1 | usb:0403:6001:S2 | <dev>/ttyUSB1"};
    QTest::newRow("VANTREL_COM names the by-id link: listed once, under its number")
        << QStringList{"ttyUSB0|FT232R USB UART|A1|usb-FTDI_A1", "ttyUSB1|FT231X|B2|usb-FTDI_B2"}
        << QStringList{"VANTREL_COM3=<dev>/serial/by-id/usb-FTDI_A1"}
        << QStringList{"1  ttyUSB1  FT231X | <dev>/serial/by-id/usb-FTDI_B2 | <dev>/ttyUSB1\n"
                       "<dev>/serial/by-id/usb-FTDI_B2",
                       "3  ttyUSB0  FT232R USB UART | <dev>/serial/by-id/usb-FTDI_A1 | "
                       "<dev>/serial/by-id/usb-FTDI_A1\n→ <dev>/ttyUSB0"};
    QTest::newRow("VANTREL_COM path outside the device folder, and one that does not exist")
        << QStringList{} << QStringList{"VANTREL_COM2=<root>/board", "VANTREL_COM4=<root>/none"}
        << QStringList{"2  <root>/board | <root>/board | <root>/board"};
    QTest::newRow("network ports listed as named")
        << QStringList{"ttyS0"}
        << QStringList{"VANTREL_COM3=rfc2217://pi.local:2000", "VANTREL_COM2=socket://[::1]:4000"}
        << QStringList{"1  ttyS0 | <dev>/ttyS0 | <dev>/ttyS0",
                       "2  socket://[::1]:4000 | socket://[::1]:4000 | socket://[::1]:4000",
                       "3  rfc2217://pi.local:2000 | rfc2217://pi.local:2000 | "
                       "rfc2217://pi.local:2000"};
}

void TestPortMap::entries() {
    QFETCH(QStringList, adapters);
    QFETCH(QStringList, environment);
    QFETCH(QStringList, expected);
    FakePortSystem fake;
    QVERIFY(fake.isValid());
    for (const QString& adapter : adapters)
        QVERIFY2(fake.plug(adapter), qPrintable(adapter));
    QVERIFY(FakePortSystem::write(fake.root() + QStringLiteral("/board"), {}));
    QStringList listed;
    for (const PortEntry& e : PortMap::fromSystem(fake.system(environment)).entries())
        listed << QStringLiteral("%1 | %2 | %3").arg(e.label(), e.stableId, e.toolTip());
    for (QString& line : expected)
        line = fake.expand(line);
    QCOMPARE(listed, expected);
    QCOMPARE(fake.deviceOpens(), 0);
}

// The serial port and the port list hold copies of one map: after the list reads the system
// again, a number opens the device the list shows.
void TestPortMap::copiesSeeARefresh() {
    FakePortSystem fake;
    QVERIFY(fake.isValid());
    QVERIFY(fake.plug(QStringLiteral("ttyUSB1|FT232R USB UART|B|")));
    PortMap list = PortMap::fromSystem(fake.system());
    const PortMap port = list;
    QVERIFY(fake.plug(QStringLiteral("ttyUSB0|FT232R USB UART|A|")));
    QCOMPARE(port.devicePath(1), fake.deviceDir() + QStringLiteral("/ttyUSB1"));
    list.refresh();
    QCOMPARE(port.devicePath(1), fake.deviceDir() + QStringLiteral("/ttyUSB0"));
    QCOMPARE(port.devicePath(2), fake.deviceDir() + QStringLiteral("/ttyUSB1"));

    PortMap table({{1, QStringLiteral("/dev/a")}});
    table.refresh(); // nothing to read again
    QCOMPARE(table.devicePath(1), QStringLiteral("/dev/a"));
}

QTEST_GUILESS_MAIN(TestPortMap)
#include "tst_portmap.moc"
