// The traffic monitor as a window: Ctrl+T opens it except in the boxes that take Ctrl+letters as
// characters, a screen reader finds it as a window, and its saves touch only regular files.

#include "panels/monitor/TrafficMonitor.h"
#include "support/HexCompare.h"
#include "support/PtyPair.h"
#include "support/WindowFixture.h"

#include <QAccessible>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

class tst_MonitorWindow : public QObject {
    Q_OBJECT
private slots:
    void ctrlTReachesTheTypingBoxes_data();
    void ctrlTReachesTheTypingBoxes();
    void readsAsAWindow();
    void savesOnlyOverRegularFiles_data();
    void savesOnlyOverRegularFiles();
};

void tst_MonitorWindow::ctrlTReachesTheTypingBoxes_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("writes");
    QTest::addColumn<QString>("message");
    QTest::newRow("text box sends it") << "Text2"
                                       << "02 14" << QString();
    QTest::newRow("pattern box refuses it") << "txtString1" << QString() << "Illegal Character";
    QTest::newRow("coordinate field refuses it") << "Text15" << QString() << "Illegal Character";
    QTest::newRow("a circle field leaves it to the window") << "Text20" << QString() << QString();
}

void tst_MonitorWindow::ctrlTReachesTheTypingBoxes() {
    QFETCH(QString, control);
    QFETCH(QString, writes);
    QFETCH(QString, message);
    WindowFixture f;
    f.connectAndPoll();
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.find<QWidget>(qPrintable(control)), Qt::Key_T, Qt::ControlModifier);
    COMPARE_HEX(f.port.writes, writesOf(qPrintable(writes)));
    QCOMPARE(f.dialogs.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QCOMPARE(f.dialogs.messages[0].text, message);
    QCOMPARE(f.window->trafficMonitor()->isVisible(), writes.isEmpty() && message.isEmpty());
}

// A screen reader finds the monitor as a window, not as a "filler".
void tst_MonitorWindow::readsAsAWindow() {
    WindowFixture f;
    const QAccessible::Role role =
        QAccessible::queryAccessibleInterface(f.window->trafficMonitor())->role();
    QVERIFY2(role == QAccessible::Window || role == QAccessible::Dialog,
             qPrintable(QString::number(role)));
}

void tst_MonitorWindow::savesOnlyOverRegularFiles_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");
    for (const char* button : {"saveButton", "saveScriptButton"}) {
        QTest::addRow("%s, pipe", button) << button << "pipe"
                                          << "it is a named pipe, not a file";
        QTest::addRow("%s, device", button) << button << "device"
                                            << "it is a character device, not a file";
    }
}

void tst_MonitorWindow::savesOnlyOverRegularFiles() {
    QFETCH(QString, button);
    QFETCH(QString, target);
    QFETCH(QString, reason);
    WindowFixture f;
    TrafficMonitor* monitor = f.window->trafficMonitor();
    monitor->record(engine::Direction::ToBoard, bytesOf("49 44"));
    QTemporaryDir dir;
    PtyPair pty; // its terminal stands for a device; the save follows the link to it
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    QVERIFY(target == u"pipe" ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                              : pty.isValid() && QFile::link(pty.slavePath(), path));
    f.dialogs.saveFileNames.enqueue(path);
    findControl<QPushButton>(monitor, qPrintable(button))->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].text, "The file " + path + " could not be written: " + reason +
                                             ".\n\nThe rows stay in the monitor.");
    QVERIFY(!QFileInfo(path).isFile());
    QCOMPARE(QFileInfo(path).isSymLink(), target == u"device");
}

QTEST_MAIN(tst_MonitorWindow)
#include "tst_monitorwindow.moc"
