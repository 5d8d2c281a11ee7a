// Desktop check: shows the real main window (run it under Xvfb), uses a few controls the way a
// user would, and saves a PNG of every tab page and of the About box into the given folder.
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "board/BoardWindow.h"
#include "board/VirtualBoard.h"
#include "transport/QtSerialPort.h"
#include "support/FakeSerialPort.h"
#include "support/RecordingDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdio>

namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(40);
    }
}

bool save(QWidget* window, const QString& path) {
    settle();
    QPixmap shot = window->screen()->grabWindow(window->winId());
    if (shot.isNull())
        shot = window->grab();
    const bool ok = shot.save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "FAILED", qPrintable(path), shot.width(),
                shot.height());
    return ok;
}

// A short session against the virtual board: both windows on one desktop, as `make run` shows
// them, saved as one picture.
bool saveSession(const QString& path) {
    VirtualBoard board;
    if (!board.open()) {
        std::printf("FAILED to open the virtual board: %s\n", qPrintable(board.errorString()));
        return false;
    }
    BoardWindow boardWindow(board, 3);
    const PortMap map({{1, board.devicePath()}}, [](const QString&) { return true; });
    QtSerialPort port(map);
    RecordingDialogs dialogs;
    MainWindow window(port, dialogs, map);
    window.move(0, 0);
    window.show();
    boardWindow.move(window.frameGeometry().right() + 8, 0);
    boardWindow.show();
    settle();

    auto find = [&](const char* name) {
        return window.findChild<QWidget*>(QString::fromLatin1(name));
    };
    auto click = [&](const char* name) {
        if (auto* b = qobject_cast<QAbstractButton*>(find(name)))
            b->click();
    };
    click("cmd_conecta");
    if (!QTest::qWaitFor(
            [&] { return window.findChild<QTimer*>(QStringLiteral("Timer2"))->isActive(); }, 5000))
        std::printf("the virtual board did not answer; the picture shows the window unconnected\n");
    click("Command15");
    click("Option8");
    for (const auto& [field, value] :
         {std::pair{"Text15", "2"}, {"Text16", "2"}, {"Text18", "157"}, {"Text19", "125"}})
        qobject_cast<QLineEdit*>(find(field))->setText(QString::fromLatin1(value));
    click("Command23");
    click("Option9");
    for (const auto& [field, value] :
         {std::pair{"Text20", "30"}, {"Text22", "80"}, {"Text23", "80"}})
        qobject_cast<QLineEdit*>(find(field))->setText(QString::fromLatin1(value));
    click("Command26");
    click("Option3");
    window.findChild<QScrollBar*>(QStringLiteral("HScroll2"))->setValue(1);
    window.findChild<QScrollBar*>(QStringLiteral("HScroll3"))->setValue(50);
    click("Command7");
    click("Command6");
    if (QWidget* text = find("Text2")) {
        text->setFocus();
        QTest::keyClicks(text, QStringLiteral("Vantrel"));
    }
    window.findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(0);
    QTest::qWait(500);
    settle();
    boardWindow.refreshNow();
    settle();

    const QRect area = window.frameGeometry().united(boardWindow.frameGeometry());
    const QPixmap shot =
        window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const bool ok = !shot.isNull() && shot.save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "FAILED", qPrintable(path), shot.width(),
                shot.height());
    click("cmd_conecta");
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(dir);

    FakeSerialPort port;
    RecordingDialogs dialogs;
    MainWindow window(
        port, dialogs,
        PortMap({{1, QStringLiteral("/dev/ttyUSB0")}, {2, QStringLiteral("/dev/ttyS0")}},
                [](const QString&) { return true; }));
    window.show();
    settle();
    port.setOpenForTest(true);

    auto* tabs1 = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    auto* tabs2 = window.findChild<QTabWidget*>(QStringLiteral("SSTab2"));
    auto* tabs4 = window.findChild<QTabWidget*>(QStringLiteral("SSTab4"));
    auto click = [&](const char* name) {
        if (auto* b = window.findChild<QAbstractButton*>(QString::fromLatin1(name)))
            b->click();
    };

    bool ok = true;
    tabs1->setCurrentIndex(0);
    ok &= save(&window, dir + QStringLiteral("/settings.png"));

    tabs1->setCurrentIndex(1);
    tabs2->setCurrentIndex(0);
    click("optString");
    if (auto* text = window.findChild<QWidget*>(QStringLiteral("Text2"))) {
        text->setFocus();
        QTest::keyClicks(text, QStringLiteral("Hello, board"));
    }
    ok &= save(&window, dir + QStringLiteral("/text.png"));
    tabs2->setCurrentIndex(1);
    ok &= save(&window, dir + QStringLiteral("/graphic.png"));
    tabs2->setCurrentIndex(2);
    for (const char* shape : {"Option7", "Option8", "Option9", "Option12"}) {
        click(shape);
        ok &= save(&window, dir + QStringLiteral("/coordinates-%1.png").arg(QLatin1String(shape)));
    }

    tabs1->setCurrentIndex(2);
    tabs4->setCurrentIndex(0);
    ok &= save(&window, dir + QStringLiteral("/touch-animation.png"));
    tabs4->setCurrentIndex(1);
    click("Command11");
    click("optRotate180");
    ok &= save(&window, dir + QStringLiteral("/display.png"));

    window.mnuAbout_Click();
    ok &= save(window.aboutBox(), dir + QStringLiteral("/about.png"));
    window.close();

    ok &= saveSession(dir + QStringLiteral("/session.png"));
    return ok ? 0 : 1;
}
