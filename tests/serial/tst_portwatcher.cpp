// The port watcher follows a fake system through the folders it watches: adapters plugged and
// pulled, by-id names made later, VANTREL_COM<n> devices in folders made later or links whose
// device goes. It waits for file system events (QTRY); nothing here depends on how long a
// step takes.

#include "serial/PortWatcher.h"
#include "support/FakePortSystem.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QStringList described(const QList<PortEntry>& ports) {
    QStringList lines;
    for (const PortEntry& p : ports)
        lines << QStringLiteral("%1 | %2").arg(p.label(), p.byIdPath);
    return lines;
}

// One step on the fake system: "plug <adapter>", "unplug <name>", "file <path>", "rm <path>",
// "link <path> <target>", or "mkdir <path>", which then waits until the watcher, if there is
// one, watches the folder.
bool apply(FakePortSystem& fake, const PortWatcher* watcher, const QString& step) {
    const QString verb = step.section(u' ', 0, 0);
    const QString arg = fake.expand(step.section(u' ', 1));
    if (verb == QStringLiteral("plug"))
        return fake.plug(arg);
    if (verb == QStringLiteral("unplug"))
        return fake.unplug(arg);
    if (verb == QStringLiteral("file"))
        return FakePortSystem::write(arg, {});
    if (verb == QStringLiteral("rm"))
        return QFile::remove(arg);
    if (verb == QStringLiteral("link"))
        return QFile::link(arg.section(u' ', 1), arg.section(u' ', 0, 0));
    if (verb == QStringLiteral("mkdir"))
        return QDir().mkpath(arg) && (!watcher || QTest::qWaitFor([&] {
                   return watcher->watchedFolders().contains(arg);
               }));
    qWarning("unknown step %s", qPrintable(step));
    return false;
}

} // namespace

class TestPortWatcher : public QObject {
    Q_OBJECT
private slots:
    void followsTheSystem_data();
    void followsTheSystem();
    void unrelatedChangesAreNotReported();
};

void TestPortWatcher::followsTheSystem_data() {
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("before"); // steps before the watcher starts
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected");

    const QString ftdi = QStringLiteral("ttyUSB0|FT232R USB UART|A1|usb-FTDI_A1");
    QTest::newRow("adapter plugged in")
        << QStringList{} << QStringList{} << QStringList{"plug " + ftdi}
        << QStringList{"1  ttyUSB0  FT232R USB UART | <dev>/serial/by-id/usb-FTDI_A1"};
    QTest::newRow("adapter pulled")
        << QStringList{} << QStringList{"plug " + ftdi, "plug ttyACM0|Pico|P1|"}
        << QStringList{"unplug ttyUSB0"} << QStringList{"1  ttyACM0  Pico | "};
    QTest::newRow("by-id name made after the start, in a folder made after the start")
        << QStringList{} << QStringList{"plug ttyACM0|Pico|P1|"}
        << QStringList{"mkdir <dev>/serial/by-id", "link <dev>/serial/by-id/usb-Pico <dev>/ttyACM0"}
        << QStringList{"1  ttyACM0  Pico | <dev>/serial/by-id/usb-Pico"};
    QTest::newRow("VANTREL_COM device in folders made after the start")
        << QStringList{"VANTREL_COM3=<root>/later/deeper/board"} << QStringList{}
        << QStringList{"mkdir <root>/later/deeper", "file <root>/later/deeper/board"}
        << QStringList{"3  <root>/later/deeper/board | "};
    QTest::newRow("the device a VANTREL_COM link leads to goes")
        << QStringList{"VANTREL_COM2=<root>/links/board"}
        << QStringList{"plug ttyUSB0|FT232R USB UART|A1|", "mkdir <root>/targets",
                       "file <root>/targets/pty", "mkdir <root>/links",
                       "link <root>/links/board <root>/targets/pty"}
        << QStringList{"rm <root>/targets/pty"} << QStringList{"1  ttyUSB0  FT232R USB UART | "};
}

void TestPortWatcher::followsTheSystem() {
    QFETCH(QStringList, environment);
    QFETCH(QStringList, before);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    FakePortSystem fake;
    QVERIFY(fake.isValid());
    for (const QString& step : before)
        QVERIFY2(apply(fake, nullptr, step), qPrintable(step));
    PortWatcher watcher(fake.system(environment));
    QSignalSpy changed(&watcher, &PortWatcher::portsChanged);
    const QStringList start = described(watcher.ports());
    for (const QString& step : steps)
        QVERIFY2(apply(fake, &watcher, step), qPrintable(step));
    for (QString& line : expected)
        line = fake.expand(line);
    QTRY_COMPARE(described(watcher.ports()), expected);
    QVERIFY(start != expected);
    QVERIFY(changed.count() >= 1);
    QCOMPARE(fake.deviceOpens(), 0);
}

// Reading again after a change that leaves the list as it was reports nothing.
void TestPortWatcher::unrelatedChangesAreNotReported() {
    FakePortSystem fake;
    QVERIFY(fake.isValid());
    QVERIFY(fake.plug(QStringLiteral("ttyUSB0|FT232R USB UART|A1|usb-FTDI_A1")));
    PortWatcher watcher(fake.system());
    QSignalSpy changed(&watcher, &PortWatcher::portsChanged);
    QVERIFY(FakePortSystem::write(fake.deviceDir() + QStringLiteral("/loop0"), {}));
    QVERIFY(QDir().mkpath(fake.deviceDir() + QStringLiteral("/shm")));
    watcher.rescan();
    QCOMPARE(changed.count(), 0);
    QVERIFY(fake.plug(QStringLiteral("ttyUSB1|FT232R USB UART|B2|")));
    watcher.rescan();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(watcher.ports().size(), 2);
}

QTEST_GUILESS_MAIN(TestPortWatcher)
#include "tst_portwatcher.moc"
