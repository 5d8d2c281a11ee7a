// The real program against the virtual board: the main window on QtSerialPort, a pseudo-terminal,
// and the board's model and interpreter on the other end, all in one event loop.
#include "display/BoardModel.h"
#include "support/BoardPixels.h"
#include "support/FakePortSystem.h"
#include "support/Ser2net.h"
#include "support/TestBitmaps.h"
#include "support/WindowOnBoard.h"
#include "transport/RoutedPort.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

constexpr int kUploadTimeoutMs = 30000;

} // namespace

class tst_EndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void connectTakesContrastOver();
    void typedTextAppearsOnBoard();
    void filledRectangle();
    void pictureArrivesByteForByte();
    void saveAndLoadScreen();
    void baudRateChangeReconnects();
    void touchReportShowsInBothBoxes();
    void connectsOverRfc2217();

private:
    bool connectToBoard();
    template <typename T> T* find(const char* name) { return rig_->find<T>(name); }

    std::unique_ptr<WindowOnBoard> rig_;
};

void tst_EndToEnd::init() {
    rig_ = std::make_unique<WindowOnBoard>();
    QVERIFY2(rig_->isOpen(), qPrintable(rig_->board.errorString()));
}

void tst_EndToEnd::cleanup() {
    rig_.reset();
}

bool tst_EndToEnd::connectToBoard() {
    return rig_->connectToBoard(10000) &&
           find<QPushButton>("cmd_conecta")->text() == QStringLiteral("Disconnect");
}

void tst_EndToEnd::connectTakesContrastOver() {
    rig_->board.model().setContrast(45);
    QVERIFY(connectToBoard());
    QCOMPARE(find<QLabel>("StatusPanel1")->text(), QStringLiteral("Connected: COM1 9600,N,8,1"));
    QCOMPARE(find<QScrollBar>("HScroll1")->value(), 45);
    QCOMPARE(find<QLineEdit>("Text9")->text(), QStringLiteral("45"));
    QCOMPARE(rig_->board.model().contrast(), 45);
    QVERIFY(rig_->dialogs.messages.isEmpty());
}

void tst_EndToEnd::typedTextAppearsOnBoard() {
    QVERIFY(connectToBoard());
    display::BoardModel expected;
    expected.putChar('H');
    expected.putChar('i');
    QWidget* text = find<QWidget>("Text2");
    QTest::keyClicks(text, QStringLiteral("Hi"));
    QTRY_VERIFY(rig_->board.model().memory() == expected.memory());
    QVERIFY(expected.memory() != display::BoardModel().memory()); // something was drawn
    QCOMPARE(rig_->board.model().column(), expected.column());
}

void tst_EndToEnd::filledRectangle() {
    QVERIFY(connectToBoard());
    find<QRadioButton>("Option8")->click();
    find<QRadioButton>("Option11")->click();
    find<QLineEdit>("Text15")->setText(QStringLiteral("10"));
    find<QLineEdit>("Text16")->setText(QStringLiteral("20"));
    find<QLineEdit>("Text18")->setText(QStringLiteral("100"));
    find<QLineEdit>("Text19")->setText(QStringLiteral("60"));
    find<QPushButton>("Command23")->click();
    display::BoardModel expected;
    expected.lineRect(true, 2, 10, 20, 100, 60);
    QTRY_VERIFY(rig_->board.model().memory() == expected.memory());
    QVERIFY(rig_->board.model().pixel(50, 40));
    QVERIFY(!rig_->board.model().pixel(5, 5));
    QVERIFY(rig_->dialogs.messages.isEmpty());
}

void tst_EndToEnd::pictureArrivesByteForByte() {
    // At 115200 the upload takes well under a second.
    QVERIFY(rig_->board.model().setBaudRate(8));
    find<QComboBox>("cboBR")->setCurrentIndex(8);
    QVERIFY(connectToBoard());

    auto lit = [](int x, int y) { return (x * 7 + y * 3) % 11 == 0 || x == y; };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        testbmp::write(testbmp::bitmap(160, 128, [&](int x, int y) { return lit(x, y) ? 1 : 0; })));
    file.close();

    rig_->dialogs.fileNames.enqueue(path);
    find<QPushButton>("Command5")->click();
    QCOMPARE(find<QLabel>("Label3")->text(), QStringLiteral("Dimensions: 160 x 128"));
    find<QPushButton>("Command3")->click();
    QTRY_COMPARE_WITH_TIMEOUT(find<QProgressBar>("ProgressBar1")->value(), 0, kUploadTimeoutMs);

    const display::BoardModel::Memory expected = memoryShowing(lit);
    QTRY_VERIFY_WITH_TIMEOUT(rig_->board.model().memory() == expected, kUploadTimeoutMs);
    QCOMPARE(rig_->board.model().page(), 0);
    QCOMPARE(rig_->board.model().column(), 0);
    QVERIFY2(
        rig_->dialogs.messages.isEmpty(),
        qPrintable(rig_->dialogs.messages.isEmpty() ? QString() : rig_->dialogs.messages[0].text));
}

void tst_EndToEnd::saveAndLoadScreen() {
    QVERIFY(connectToBoard());
    find<QRadioButton>("Option9")->click(); // circle
    find<QLineEdit>("Text20")->setText(QStringLiteral("20"));
    find<QLineEdit>("Text22")->setText(QStringLiteral("80"));
    find<QLineEdit>("Text23")->setText(QStringLiteral("64"));
    find<QPushButton>("Command26")->click();
    QTRY_VERIFY(rig_->board.model().pixel(100, 64));
    const display::BoardModel::Memory drawn = rig_->board.model().memory();

    find<QScrollBar>("HScroll4")->setValue(10);
    find<QRadioButton>("optSave")->click();
    find<QPushButton>("cmdOk")->click(); // "Confirmation" answered Yes
    QCOMPARE(rig_->dialogs.messages.size(), 1);
    QCOMPARE(rig_->dialogs.messages[0].title, QStringLiteral("Confirmation"));
    QTRY_VERIFY(rig_->board.model().screen(10) == drawn);

    find<QPushButton>("Command15")->click(); // clear screen
    QTRY_VERIFY(rig_->board.model().memory() == display::BoardModel::Memory{});
    find<QRadioButton>("optLoad")->click();
    find<QPushButton>("cmdOk")->click();
    QTRY_VERIFY(rig_->board.model().memory() == drawn);
}

void tst_EndToEnd::baudRateChangeReconnects() {
    QVERIFY(connectToBoard());
    find<QComboBox>("cmbBoudRate")->setCurrentIndex(4);
    find<QPushButton>("Command4")->click(); // "Attention" answered OK
    QCOMPARE(rig_->dialogs.messages.size(), 1);
    QCOMPARE(rig_->dialogs.messages[0].title, QStringLiteral("Attention"));
    QTRY_COMPARE(rig_->board.model().baud(), 19200);
    QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>("StatusPanel1")->text(),
                              QStringLiteral("Connected: COM1 19200,N,8,1"), 10000);
    QCOMPARE(find<QPushButton>("cmd_conecta")->text(), QStringLiteral("Disconnect"));
    QCOMPARE(find<QComboBox>("cboBR")->currentText(), QStringLiteral("19200"));
    QCOMPARE(rig_->dialogs.messages.size(), 1); // no "Controller not found"

    // Commands at the new rate still reach the board.
    find<QPushButton>("Command19")->click();
    QTRY_VERIFY(!rig_->board.model().backlightOn());
}

void tst_EndToEnd::touchReportShowsInBothBoxes() {
    QVERIFY(connectToBoard());
    find<QPushButton>("CmdAnalog")->click();
    QTRY_COMPARE(rig_->board.model().touchMode(), display::BoardModel::TouchMode::Coordinates);
    rig_->board.touch(80, 64);
    QTRY_COMPARE(find<QLineEdit>("Text14")->text(), QStringLiteral("X80Y64!"));
    QCOMPARE(find<QLineEdit>("Text17")->text(), QStringLiteral("X80Y64!"));
}

// The window as `VANTREL_COM2=rfc2217://...` sets it up, on the board behind ser2net.
void tst_EndToEnd::connectsOverRfc2217() {
    rig_->board.model().setContrast(45);
    Ser2net server(rig_->board.devicePath(), 9600);
    START_SER2NET(server);
    FakePortSystem system;
    const PortMap map =
        PortMap::fromSystem(system.system({QStringLiteral("VANTREL_COM2=") + server.rfc2217()}));
    transport::RoutedPort port(map);
    RecordingDialogs dialogs;
    MainWindow window(port, dialogs, map);
    QCOMPARE(findControl<QComboBox>(&window, "cboPort")->currentText(),
             QStringLiteral("2  ") + server.rfc2217());

    findControl<QPushButton>(&window, "cmd_conecta")->click();
    QTRY_VERIFY_WITH_TIMEOUT(findControl<QTimer>(&window, "Timer2")->isActive(), 10000);
    QCOMPARE(findControl<QLabel>(&window, "StatusPanel1")->text(),
             QStringLiteral("Connected: COM2 9600,N,8,1"));
    QCOMPARE(findControl<QScrollBar>(&window, "HScroll1")->value(), 45);
    findControl<QPushButton>(&window, "CmdAnalog")->click();
    QTRY_COMPARE(rig_->board.model().touchMode(), display::BoardModel::TouchMode::Coordinates);
    rig_->board.touch(80, 64);
    QTRY_COMPARE(findControl<QLineEdit>(&window, "Text14")->text(), QStringLiteral("X80Y64!"));
    QVERIFY(dialogs.messages.isEmpty());
}

QTEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
