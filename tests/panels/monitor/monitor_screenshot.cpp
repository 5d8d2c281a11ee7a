// Desktop check of the traffic monitor (run it under Xvfb): the real window and the monitor
// against the virtual board, a short session (connect, a text, a touch, a picture upload), and
// a PNG of the monitor as the user then sees it.
#include "app/MainWindow.h"
#include "engine/BoardSession.h"
#include "panels/monitor/TrafficMonitor.h"
#include "support/TestBitmaps.h"
#include "support/WindowOnBoard.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/monitor.png");

    WindowOnBoard rig;
    if (!rig.isOpen()) {
        std::printf("FAILED to open the virtual board: %s\n", qPrintable(rig.board.errorString()));
        return 1;
    }
    rig.board.model().setBaudRate(8);
    MainWindow& window = *rig.window;
    window.move(0, 0);
    window.show();
    rig.find<QAction>("mnuTrafficMonitor")->trigger();
    TrafficMonitor* monitor = window.trafficMonitor();
    monitor->move(40, 60);

    rig.find<QComboBox>("cboBR")->setCurrentIndex(8);
    if (!rig.connectToBoard(5000)) {
        std::printf("FAILED to connect to the virtual board\n");
        return 1;
    }
    QTest::qWait(300);
    QWidget* text = rig.find<QWidget>("Text2");
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("Hello"), Qt::NoModifier, 60);
    QTest::qWait(400);
    rig.click("CmdAnalog");
    QTest::qWait(300);
    rig.board.touch(80, 64);
    QTest::qWait(600);
    rig.click("Option8");
    for (const auto& [field, value] :
         {std::pair{"Text15", "2"}, {"Text16", "2"}, {"Text18", "157"}, {"Text19", "125"}})
        rig.find<QLineEdit>(field)->setText(QString::fromLatin1(value));
    rig.click("Command23");
    QTest::qWait(700);

    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("picture.bmp"));
    QFile file(picture);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(testbmp::write(testbmp::bitmap(160, 128, testbmp::pattern))) <= 0)
        return 1;
    file.close();
    rig.dialogs.fileNames.enqueue(picture);
    rig.click("Command5");
    rig.click("Command3");
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
    rig.click("cmd_conecta");
    return ok ? 0 : 1;
}
