// Desktop check: shows the real main window (run it under Xvfb), uses a few controls the way a
// user would, and saves a PNG of every tab page and of the About box into the given folder.
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "board/BoardWindow.h"
#include "panels/mirror/BoardMirror.h"
#include "support/WindowFixture.h"
#include "support/WindowOnBoard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
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

// Connects and uses a few controls: a frame, a circle, contrast and backlight, and text.
void drawSession(WindowOnBoard& rig) {
    if (!rig.connectToBoard(5000))
        std::printf("the virtual board did not answer; the picture shows the window unconnected\n");
    rig.click("Command15");
    rig.click("Option8");
    for (const auto& [field, value] :
         {std::pair{"Text15", "2"}, {"Text16", "2"}, {"Text18", "157"}, {"Text19", "125"}})
        rig.find<QLineEdit>(field)->setText(QString::fromLatin1(value));
    rig.click("Command23");
    rig.click("Option9");
    for (const auto& [field, value] :
         {std::pair{"Text20", "30"}, {"Text22", "80"}, {"Text23", "80"}})
        rig.find<QLineEdit>(field)->setText(QString::fromLatin1(value));
    rig.click("Command26");
    rig.click("Option3");
    rig.find<QScrollBar>("HScroll2")->setValue(1);
    rig.find<QScrollBar>("HScroll3")->setValue(50);
    rig.click("Command7");
    rig.click("Command6");
    QWidget* text = rig.find<QWidget>("Text2");
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("Vantrel"));
}

// A short session against the virtual board: both windows on one desktop, as `make run` shows
// them, saved as one picture.
bool saveSession(const QString& path) {
    WindowOnBoard rig;
    if (!rig.isOpen()) {
        std::printf("FAILED to open the virtual board: %s\n", qPrintable(rig.board.errorString()));
        return false;
    }
    BoardWindow boardWindow(rig.board, 3);
    MainWindow& window = *rig.window;
    window.move(0, 0);
    window.show();
    boardWindow.move(window.frameGeometry().right() + 8, 0);
    boardWindow.show();
    settle();

    drawSession(rig);
    rig.find<QTabWidget>("SSTab1")->setCurrentIndex(0);
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
    rig.click("cmd_conecta");
    return ok;
}

// The board mirror beside the virtual board's window after the same session: the two screens
// are the same picture, the mirror's worked out from what was sent.
bool saveMirror(const QString& path) {
    WindowOnBoard rig;
    if (!rig.isOpen()) {
        std::printf("FAILED to open the virtual board: %s\n", qPrintable(rig.board.errorString()));
        return false;
    }
    BoardWindow boardWindow(rig.board, 2);
    MainWindow& window = *rig.window;
    window.move(0, 0);
    window.show();
    settle();
    drawSession(rig);
    window.mnuBoardMirror_Click(true);
    QWidget* mirror = window.boardMirror();
    mirror->move(0, 0);
    settle();
    boardWindow.move(mirror->frameGeometry().right() + 8, 0);
    boardWindow.show();
    window.move(boardWindow.frameGeometry().right() + 8, 0); // out of the picture
    QTest::qWait(500);
    settle();
    boardWindow.refreshNow();
    settle();

    const QRect area = mirror->frameGeometry().united(boardWindow.frameGeometry());
    const QPixmap shot =
        mirror->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const bool ok = !shot.isNull() && shot.save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "FAILED", qPrintable(path), shot.width(),
                shot.height());
    rig.click("cmd_conecta");
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(dir);

    WindowFixture fixture({{1, QStringLiteral("/dev/ttyUSB0")}, {2, QStringLiteral("/dev/ttyS0")}});
    MainWindow& window = *fixture.window;
    window.show();
    settle();
    fixture.port.setOpenForTest(true);

    auto* tabs1 = fixture.find<QTabWidget>("SSTab1");
    auto* tabs2 = fixture.find<QTabWidget>("SSTab2");
    auto* tabs4 = fixture.find<QTabWidget>("SSTab4");
    auto click = [&](const char* name) { fixture.find<QAbstractButton>(name)->click(); };

    bool ok = true;
    tabs1->setCurrentIndex(0);
    ok &= save(&window, dir + QStringLiteral("/settings.png"));

    tabs1->setCurrentIndex(1);
    tabs2->setCurrentIndex(0);
    click("optString");
    QWidget* text = fixture.find<QWidget>("Text2");
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("Hello, board"));
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
    ok &= saveMirror(dir + QStringLiteral("/mirror.png"));
    return ok ? 0 : 1;
}
