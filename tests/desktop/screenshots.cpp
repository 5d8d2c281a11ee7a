// Desktop check: shows the real main window (run it under Xvfb), uses a few controls the way a
// user would, and saves a PNG of every tab page and of the About box into the given folder.
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "serial/FakeSerialPort.h"
#include "support/RecordingDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
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

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(dir);

    FakeSerialPort port;
    RecordingDialogs dialogs;
    MainWindow window(port, dialogs,
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
    return ok ? 0 : 1;
}
