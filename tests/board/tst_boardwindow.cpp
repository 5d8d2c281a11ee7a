// The virtual board's window and the board as a whole: the LCD's colours and touches, the
// batched log, the animation clock and touch reports on the line.

#include "board/BoardWindow.h"
#include "board/LcdView.h"
#include "board/VirtualBoard.h"
#include "picture/GlassImage.h"
#include "protocol/Messages.h"
#include "support/HexCompare.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(QRgb)

namespace {

struct Settings {
    int mode = 0;
    bool lcdOn = true;
    bool backlightOn = true;
    int contrast = 32;
};

} // namespace

class TestBoardWindow : public QObject {
    Q_OBJECT

private slots:
    void lcdColours_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("lcdOn");
        QTest::addColumn<bool>("backlightOn");
        QTest::addColumn<int>("contrast");
        QTest::addColumn<QRgb>("litColour");
        QTest::addColumn<QRgb>("unlitColour");
        QTest::newRow("normal") << 0 << true << true << 32 << qRgb(192, 255, 255)
                                << qRgb(0, 0, 255);
        QTest::newRow("reverse") << 1 << true << true << 32 << qRgb(0, 0, 255)
                                 << qRgb(192, 255, 255);
        QTest::newRow("LCD off") << 0 << false << true << 32 << qRgb(0, 0, 255) << qRgb(0, 0, 255);
        QTest::newRow("backlight off")
            << 0 << true << false << 32 << qRgb(48, 63, 63) << qRgb(0, 0, 63);
        QTest::newRow("contrast 0") << 0 << true << true << 0 << qRgb(0, 0, 255) << qRgb(0, 0, 255);
        QTest::newRow("contrast 16")
            << 0 << true << true << 16 << qRgb(96, 128, 255) << qRgb(0, 0, 255);
        QTest::newRow("contrast 127")
            << 0 << true << true << 127 << qRgb(192, 255, 255) << qRgb(86, 115, 255);
    }
    void lcdColours() {
        QFETCH(int, mode);
        QFETCH(bool, lcdOn);
        QFETCH(bool, backlightOn);
        QFETCH(int, contrast);
        QFETCH(QRgb, litColour);
        QFETCH(QRgb, unlitColour);
        display::BoardModel model;
        LcdView view(model, 3);
        model.drawPixel(10, 20);
        model.setDisplayMode(mode);
        model.setLcdPower(lcdOn ? 1 : 0);
        model.setBacklight(backlightOn ? 1 : 0);
        model.setContrast(contrast);
        view.refresh();
        const QImage panel = view.panelImage();
        QCOMPARE(panel.size(), QSize(160, 128));
        QCOMPARE(QColor(panel.pixel(10, 20)), QColor(litColour));
        QCOMPARE(QColor(panel.pixel(11, 20)), QColor(unlitColour));
    }

    void viewFollowsRotationAndFlip() {
        display::BoardModel model;
        LcdView view(model, 1);
        model.drawPixel(0, 0);
        model.setRotation(1);
        view.refresh();
        QCOMPARE(QColor(view.panelImage().pixel(159, 127)), QColor(kBoardColours.lit));
        QCOMPARE(QColor(view.panelImage().pixel(0, 0)), QColor(kBoardColours.unlit));
        model.setRotation(0);
        model.setFlipPage(15); // memory page 0 now shows as the bottom page... turned round
        view.refresh();
        QCOMPARE(QColor(view.panelImage().pixel(0, 8)), QColor(kBoardColours.lit));
    }

    void clickIsATouch_data() {
        QTest::addColumn<QPoint>("at"); // in the widget
        QTest::addColumn<int>("x");     // -1: no touch
        QTest::addColumn<int>("y");
        // Zoom 4 inside a bezel of 14 pixels.
        QTest::newRow("first pixel") << QPoint(14, 14) << 0 << 0;
        QTest::newRow("key 6 corner") << QPoint(14 + 160 + 3, 14 + 128 + 3) << 40 << 32;
        QTest::newRow("last pixel") << QPoint(14 + 639, 14 + 511) << 159 << 127;
        QTest::newRow("bezel") << QPoint(5, 5) << -1 << -1;
        QTest::newRow("right of the glass") << QPoint(14 + 640, 20) << -1 << -1;
    }
    void clickIsATouch() {
        QFETCH(QPoint, at);
        QFETCH(int, x);
        QFETCH(int, y);
        display::BoardModel model;
        LcdView view(model, 4);
        view.resize(view.sizeHint());
        QSignalSpy touched(&view, &LcdView::touched);
        QTest::mouseClick(&view, Qt::LeftButton, {}, at);
        if (x < 0) {
            QVERIFY(touched.isEmpty());
        } else {
            QCOMPARE(touched.size(), 1);
            QCOMPARE(touched.at(0).at(0).toInt(), x);
            QCOMPARE(touched.at(0).at(1).toInt(), y);
        }
    }

    void logIsBatched() {
        VirtualBoard board;
        BoardWindow window(board);
        const int before = window.logView()->blockCount();
        for (int i = 0; i < 3000; ++i)
            emit board.logLine(QStringLiteral("line %1").arg(i));
        // Nothing is laid out line by line; the next refresh shows them all at once.
        QCOMPARE(window.logView()->blockCount(), before);
        window.refreshNow();
        const QString text = window.logView()->toPlainText();
        QVERIFY(text.contains(QStringLiteral(" line 0\n")));
        QVERIFY(text.endsWith(QStringLiteral(" line 2999")));
        QCOMPARE(window.logView()->blockCount(), 3000);
    }

    void logKeepsTheNewestLines() {
        VirtualBoard board;
        BoardWindow window(board);
        for (int i = 0; i < BoardWindow::kPendingLines + 10; ++i)
            window.addLogLine(QStringLiteral("line %1").arg(i));
        window.refreshNow();
        const QString text = window.logView()->toPlainText();
        QVERIFY(text.contains(QStringLiteral("... 10 earlier line(s) not shown")));
        QVERIFY(!text.contains(QStringLiteral(" line 9\n")));
        QVERIFY(text.endsWith(QStringLiteral(" line %1").arg(BoardWindow::kPendingLines + 9)));
    }

    void stateShown() {
        VirtualBoard board;
        BoardWindow window(board);
        const QByteArray bytes = protocol::setPage(3) + protocol::setColumn(7) +
                                 protocol::selectFont(4) + protocol::setKeypadMode(2) +
                                 protocol::setBaudRate(8) + protocol::setDisplayMode(6);
        board.interpreter().feed(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                 std::size_t(bytes.size()));
        window.refreshNow();
        auto text = [&](const char* name) {
            return window.findChild<QLabel*>(QLatin1String(name))->text();
        };
        QCOMPARE(text("position"), QStringLiteral("page 3, column 7"));
        QCOMPARE(text("font"), QStringLiteral("4 (22 pixel)"));
        QCOMPARE(text("touch"), QStringLiteral("4x4 keypad, flipped, default calibration"));
        QCOMPARE(text("boardRate"), QStringLiteral("115200 baud (rate 8)"));
        QCOMPARE(text("displayMode"), QStringLiteral("6 diagonal / reversed"));
    }

    void animationRunsOnTheClock() {
        VirtualBoard board;
        QVERIFY2(board.open(), qPrintable(board.errorString()));
        QSerialPort port(board.devicePath());
        port.setBaudRate(9600);
        QVERIFY(port.open(QIODevice::ReadWrite));
        // Screens 5 and 6 carry their number at page 0, column 0.
        QByteArray bytes;
        for (int n : {5, 6})
            bytes += protocol::setPage(0) + protocol::setColumn(0) +
                     protocol::putPattern(quint8(n)) + protocol::saveScreen(quint8(n));
        bytes += protocol::runAnimation(1, 5, 6);
        port.write(bytes);
        QTRY_VERIFY(board.model().animationRunning());
        QTRY_COMPARE(board.model().pageByte(0, 0), 6);
        QTRY_COMPARE(board.model().pageByte(0, 0), 5);
        port.write(protocol::clearDisplay(16)); // the Stop button
        QTRY_VERIFY(!board.model().animationRunning());
        QCOMPARE(board.model().pageByte(0, 0), 0);
    }

    void touchGoesOutOnTheLine() {
        VirtualBoard board;
        QVERIFY2(board.open(), qPrintable(board.errorString()));
        QSignalSpy log(&board, &VirtualBoard::logLine);
        QSerialPort port(board.devicePath());
        port.setBaudRate(9600);
        QVERIFY(port.open(QIODevice::ReadWrite));
        port.write(protocol::setKeypadMode(1));
        QTRY_COMPARE(board.model().touchMode(), display::BoardModel::TouchMode::Keypad);
        board.touch(45, 40);
        QByteArray got;
        QTRY_VERIFY((got += port.readAll()).size() >= 3);
        COMPARE_HEX(got, QByteArray("K6!"));
        const auto logged = [&](const QString& line) {
            return std::any_of(log.begin(), log.end(),
                               [&](const QList<QVariant>& args) { return args.at(0) == line; });
        };
        QVERIFY(logged(QStringLiteral("touch at 45,40")));
        // The last line waits in the log's fold until the line has been quiet for a moment.
        QTRY_VERIFY(logged(QStringLiteral("reply \"K6!\"")));
    }
};

QTEST_MAIN(TestBoardWindow)
#include "tst_boardwindow.moc"
