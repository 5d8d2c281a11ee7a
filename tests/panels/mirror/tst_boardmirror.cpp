// The board mirror against the virtual board: what it saves and shows is what the board holds
// after the same bytes, it starts again at each new connection, and a screen reader finds it.
#include "display/Glass.h"
#include "panels/mirror/BoardMirror.h"
#include "panels/picture/PicturePanel.h"
#include "picture/GlassImage.h"
#include "protocol/Messages.h"
#include "support/BoardPixels.h"
#include "support/HexCompare.h"
#include "support/WindowOnBoard.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

QByteArray hexOf(const display::Memory& memory) {
    return hexOf(QByteArray(reinterpret_cast<const char*>(memory.data()), int(memory.size())));
}

// The glass as the virtual board's LCD paints it, at the mirror's scale.
QImage glassPicture(const display::BoardModel& model) {
    return glassImage(display::glassOf(model), boardColours(model), BoardMirror::kScale);
}

} // namespace

class tst_BoardMirror : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void savedScreenIsTheBoards_data();
    void savedScreenIsTheBoards();
    void followsDisplaySettings_data();
    void followsDisplaySettings();
    void startsAgainOnlyAtConnect_data();
    void startsAgainOnlyAtConnect();
    void readsAsAWindow();

private:
    BoardMirror* mirror() const { return rig_->window->boardMirror(); }
    const display::BoardModel& board() const { return rig_->board.model(); }
    const display::BoardModel& mirrored() const { return mirror()->sentScreen().model(); }
    QImage shown() const {
        return findControl<QLabel>(mirror(), "screenView")->pixmap().toImage().convertToFormat(
            QImage::Format_RGB32);
    }
    // "Hi" typed and a filled rectangle drawn from the window's own controls.
    void drawFromWindow();

    std::unique_ptr<WindowOnBoard> rig_;
};

void tst_BoardMirror::init() {
    rig_ = std::make_unique<WindowOnBoard>();
    QVERIFY2(rig_->isOpen(), qPrintable(rig_->board.errorString()));
    QVERIFY(rig_->connectToBoard(10000));
}

void tst_BoardMirror::cleanup() {
    rig_.reset();
}

void tst_BoardMirror::drawFromWindow() {
    QTest::keyClicks(rig_->find<QWidget>("Text2"), QStringLiteral("Hi"));
    rig_->click("Option8");
    rig_->click("Option11");
    for (const auto& [field, value] : {std::pair{"Text15", "10"}, {"Text16", "20"},
                                       {"Text18", "100"}, {"Text19", "60"}})
        rig_->find<QLineEdit>(field)->setText(QString::fromLatin1(value));
    rig_->click("Command23");
    QTRY_VERIFY(board().pixel(50, 40));
}

void tst_BoardMirror::savedScreenIsTheBoards_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("one-bit bitmap, opened by the picture page") << "screen.bmp";
    QTest::newRow("PNG of the glass") << "screen.png";
}

void tst_BoardMirror::savedScreenIsTheBoards() {
    QFETCH(QString, file);
    drawFromWindow();
    QTRY_COMPARE(hexOf(mirrored().memory()), hexOf(board().memory()));
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    rig_->dialogs.saveFileNames.enqueue(path);
    findControl<QPushButton>(mirror(), "saveScreenButton")->click();
    QVERIFY(rig_->dialogs.messages.isEmpty());
    if (file.endsWith(u".png")) {
        QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), glassPicture(board()));
        return;
    }
    auto* picture = rig_->window->findChild<PicturePanel*>();
    rig_->dialogs.fileNames.enqueue(path);
    picture->Command5_Click();
    const display::Memory opened = memoryShowing([&](int x, int y) {
        return (picture->pageBytes().at(y / 8, x) >> (y % 8)) & 1;
    });
    QCOMPARE(hexOf(opened), hexOf(board().memory()));
}

void tst_BoardMirror::followsDisplaySettings_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("reversed display") << protocol::setDisplayMode(1);
    QTest::newRow("top left and bottom right reversed") << protocol::setDisplayMode(5);
    QTest::newRow("rotated 180 degrees") << protocol::setRotation(true);
    QTest::newRow("page flip 3") << protocol::flipPage(3);
    QTest::newRow("LCD off") << protocol::setLcdPower(false);
    QTest::newRow("backlight off") << protocol::setBacklight(false);
}

// Each setting, sent after a drawing, changes the mirror's screen to exactly the board's glass,
// in the board's colours, as the open window shows it.
void tst_BoardMirror::followsDisplaySettings() {
    QFETCH(QByteArray, message);
    drawFromWindow();
    rig_->window->mnuBoardMirror_Click(true);
    const QImage before = glassPicture(board());
    QTRY_COMPARE(shown(), before);
    QVERIFY(rig_->window->session().send(message));
    QTRY_VERIFY(glassPicture(board()) != before); // the board has it
    QTRY_COMPARE(shown(), glassPicture(board()));
}

void tst_BoardMirror::startsAgainOnlyAtConnect_data() {
    QTest::addColumn<bool>("reconnect");
    QTest::newRow("Disconnect, Connect: blank again") << true;
    QTest::newRow("baud-rate change: kept, the board keeps its screen") << false;
}

void tst_BoardMirror::startsAgainOnlyAtConnect() {
    QFETCH(bool, reconnect);
    drawFromWindow();
    rig_->window->mnuBoardMirror_Click(true);
    QVERIFY(rig_->window->session().send(protocol::setRotation(true)));
    const QImage drawn = glassPicture(mirrored());
    if (reconnect) {
        rig_->click("cmd_conecta"); // Disconnect: the mirror keeps what was sent
        QTRY_VERIFY(!rig_->window->session().portOpen());
        QCOMPARE(glassPicture(mirrored()), drawn);
        QVERIFY(rig_->connectToBoard(10000));
    } else {
        rig_->find<QComboBox>("cmbBoudRate")->setCurrentIndex(4);
        rig_->click("Command4");
        QTRY_COMPARE_WITH_TIMEOUT(rig_->find<QLabel>("StatusPanel1")->text(),
                                  QStringLiteral("Connected: COM1 19200,N,8,1"), 10000);
    }
    const display::BoardModel blank;
    QCOMPARE(hexOf(mirrored().memory()), hexOf(reconnect ? blank.memory() : board().memory()));
    QTRY_COMPARE(shown(), reconnect ? glassPicture(blank) : drawn);
}

// A screen reader finds the mirror as a window, named, and every control in it by a name.
void tst_BoardMirror::readsAsAWindow() {
    auto* action = rig_->window->findChild<QAction*>(QStringLiteral("mnuBoardMirror"));
    QVERIFY(action && action->isCheckable());
    action->trigger();
    QVERIFY(mirror()->isVisible());
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(mirror());
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Board Mirror"));
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        QVERIFY2(!child->text(QAccessible::Name).isEmpty(),
                 qPrintable(child->object()->objectName()));
    }
    QVERIFY(window->childCount() >= 4);
    mirror()->close();
    QVERIFY(!action->isChecked());
}

QTEST_MAIN(tst_BoardMirror)
#include "tst_boardmirror.moc"
