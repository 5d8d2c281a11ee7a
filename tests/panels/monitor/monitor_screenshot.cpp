// Desktop check of the traffic monitor (run it under Xvfb): the real window and the monitor
// against the virtual board, a short session (connect, a text, a touch, a picture upload), and
// a PNG of the monitor as the user then sees it.
#include "app/MainWindow.h"
#include "board/VirtualBoard.h"
#include "engine/BoardSession.h"
#include "panels/monitor/TrafficMonitor.h"
#include "transport/QtSerialPort.h"
#include "support/RecordingDialogs.h"
#include "support/TestBitmaps.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/monitor.png");

    VirtualBoard board;
    if (!board.open()) {
        std::printf("FAILED to open the virtual board: %s\n", qPrintable(board.errorString()));
        return 1;
    }
    board.model().setBaudRate(8);
    const PortMap map({{1, board.devicePath()}}, [](const QString&) { return true; });
    QtSerialPort port(map);
    RecordingDialogs dialogs;
    MainWindow window(port, dialogs, map);
    window.move(0, 0);
    window.show();
    window.findChild<QAction*>(QStringLiteral("mnuTrafficMonitor"))->trigger();
    TrafficMonitor* monitor = window.trafficMonitor();
    monitor->move(40, 60);

    auto find = [&](const char* name) {
        return window.findChild<QWidget*>(QString::fromLatin1(name));
    };
    auto click = [&](const char* name) {
        if (auto* b = qobject_cast<QAbstractButton*>(find(name)))
            b->click();
    };
    qobject_cast<QComboBox*>(find("cboBR"))->setCurrentIndex(8);
    click("cmd_conecta");
    if (!QTest::qWaitFor(
            [&] { return window.findChild<QTimer*>(QStringLiteral("Timer2"))->isActive(); },
            5000)) {
        std::printf("FAILED to connect to the virtual board\n");
        return 1;
    }
    QTest::qWait(300);
    if (QWidget* text = find("Text2")) {
        text->setFocus();
        QTest::keyClicks(text, QStringLiteral("Hello"), Qt::NoModifier, 60);
    }
    QTest::qWait(400);
    click("CmdAnalog");
    QTest::qWait(300);
    board.touch(80, 64);
    QTest::qWait(600);
    click("Option8");
    for (const auto& [field, value] :
         {std::pair{"Text15", "2"}, {"Text16", "2"}, {"Text18", "157"}, {"Text19", "125"}})
        qobject_cast<QLineEdit*>(find(field))->setText(QString::fromLatin1(value));
    click("Command23");
    QTest::qWait(700);

    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("picture.bmp"));
    testbmp::Spec spec;
    spec.index = testbmp::pattern;
    QFile file(picture);
    if (!file.open(QIODevice::WriteOnly) || file.write(testbmp::write(spec)) <= 0)
        return 1;
    file.close();
    dialogs.fileNames.enqueue(picture);
    click("Command5");
    click("Command3");
    if (!QTest::qWaitFor([&] { return !window.session().uploading(); }, 30000)) {
        std::printf("FAILED: the upload did not end\n");
        return 1;
    }
    QTest::qWait(500);

    monitor->raise();
    monitor->activateWindow();
    QTest::qWait(300);
    QPixmap shot = monitor->screen()->grabWindow(monitor->winId());
    if (shot.isNull())
        shot = monitor->grab();
    const bool ok = !shot.isNull() && shot.save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "FAILED", qPrintable(path), shot.width(),
                shot.height());
    click("cmd_conecta");
    return ok ? 0 : 1;
}
