// The board's command interpreter: parameter counts, decoding of each command, text strings,
// unknown bytes, and independence from how the stream is cut into pieces.

#include "board/LogFolder.h"
#include "display/BoardFonts.h"
#include "display/BoardModel.h"
#include "display/CommandInterpreter.h"
#include "protocol/Messages.h"
#include "support/BoardPixels.h"
#include "support/HexCompare.h"

#include <QRandomGenerator>
#include <QTest>

using display::BoardFonts;
using display::BoardModel;
using display::CommandInterpreter;

namespace {

// A model, an interpreter and what they logged (line by line, and folded as the board's log
// folds it) and replied.
struct Board {
    BoardModel model;
    CommandInterpreter interpreter{model};
    QStringList log;
    QStringList folded;
    LogFolder folder{[this](const std::string& l) { folded << QString::fromStdString(l); }};
    QStringList replies;

    Board() {
        interpreter.setLogSink([this](const std::string& l) {
            log << QString::fromStdString(l);
            folder.add(l);
        });
        model.setReplySink([this](const std::string& r) { replies << QString::fromStdString(r); });
    }
    void feed(const QByteArray& bytes) {
        interpreter.feed(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         std::size_t(bytes.size()));
    }
};

// A stream that uses every command, text, a split pixel and unknown bytes.
QByteArray everyCommand() {
    using namespace protocol;
    QByteArray s;
    s += clearDisplay(16);
    s += setPage(2) + setColumn(150);
    for (int i = 0; i < 20; ++i)
        s += putPattern(Byte(0x11 * (i % 15)));
    s += selectFont(2) + putChar('H') + putChar('i') + putChar(0x0D);
    s += beginString('A') + QByteArray("bcdefghij") + QByteArray(1, '\r');
    s += selectFont(4) + beginString('x') + QByteArray(44, 'y'); // ends after 45 characters
    s += drawPixelPrefix() + drawPixelCoordinates(10, 20);
    s += drawLineRect(Figure::Line, 0, 0, 159, 127);
    s += drawLineRect(Figure::Filled, 20, 20, 60, 40) +
         drawLineRect(Figure::Reversed, 30, 30, 90, 50);
    s += clearLineRect(Figure::Outline, 20, 20, 60, 40);
    s += drawCircle(30, 80, 64) + clearCircle(10, 80, 64);
    s += QByteArray::fromHex("04 00 FF");
    s += saveScreen(7) + clearDisplay(3) + loadScreen(7);
    s += setContrast(45) + identify() + setBacklight(false) + setLcdPower(true);
    s += setDisplayMode(5) + setRotation(true) + flipPage(3);
    s += setTouchMode(1) + setKeypadMode(2) + calibrateTouch() + restoreTouchCalibration();
    s += runAnimation(3, 1, 4) + setPage(200) + setBaudRate(4);
    return s;
}

} // namespace

class TestCommandInterpreter : public QObject {
    Q_OBJECT

private slots:
    void parameterCounts_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("count");
        QTest::newRow("ClearDisplay") << 0x01 << 1;
        QTest::newRow("PutChar") << 0x02 << 1;
        QTest::newRow("PutPattern") << 0x03 << 1;
        QTest::newRow("SetTouchMode") << 0x05 << 1;
        QTest::newRow("SetPage") << 0x06 << 1;
        QTest::newRow("LoadScreen") << 0x08 << 1;
        QTest::newRow("SetBacklight") << 0x09 << 1;
        QTest::newRow("DrawPixel") << 0x0A << 3;
        QTest::newRow("SetDisplayMode") << 0x0B << 1;
        QTest::newRow("SetLcdPower") << 0x0D << 1;
        QTest::newRow("SetBaudRate") << 0x0F << 1;
        QTest::newRow("SetContrast") << 0x10 << 1;
        QTest::newRow("SaveScreen") << 0x11 << 1;
        QTest::newRow("SetColumn") << 0x12 << 1;
        QTest::newRow("SelectFont") << 0x15 << 1;
        QTest::newRow("CalibrateTouch") << 0x19 << 1;
        QTest::newRow("RestoreTouchCalibration") << 0x1A << 1;
        QTest::newRow("RunAnimation") << 0x1B << 3;
        QTest::newRow("SetKeypadMode") << 0x1C << 1;
        QTest::newRow("FlipPage") << 0x1D << 1;
        QTest::newRow("ClearLineRect") << 0x1E << 5;
        QTest::newRow("DrawLineRect") << 0x1F << 5;
        QTest::newRow("ClearCircle") << 0x20 << 3;
        QTest::newRow("DrawCircle") << 0x21 << 3;
        QTest::newRow("BeginString") << 0x26 << int(CommandInterpreter::kText);
        QTest::newRow("SetRotation") << 0x27 << 1;
        QTest::newRow("Identify") << 0x49 << 1;
        QTest::newRow("0x00 unknown") << 0x00 << int(CommandInterpreter::kUnknown);
        QTest::newRow("0x04 unknown") << 0x04 << int(CommandInterpreter::kUnknown);
        QTest::newRow("0x44 unknown") << 0x44 << int(CommandInterpreter::kUnknown);
        QTest::newRow("0xFF unknown") << 0xFF << int(CommandInterpreter::kUnknown);
    }
    void parameterCounts() {
        QFETCH(int, code);
        QFETCH(int, count);
        QCOMPARE(CommandInterpreter::parameterCount(std::uint8_t(code)), count);
    }

    void decodes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("log");
        using namespace protocol;
        QTest::newRow("ClearDisplay page") << clearDisplay(3) << QStringList{"ClearDisplay 3"};
        QTest::newRow("ClearDisplay whole")
            << clearDisplay(16) << QStringList{"ClearDisplay 16 (whole screen)"};
        QTest::newRow("ClearDisplay 17")
            << clearDisplay(17) << QStringList{"ClearDisplay 17: out of range, ignored"};
        QTest::newRow("PutChar") << putChar('H') << QStringList{"PutChar 0x48 'H'"};
        QTest::newRow("PutChar CR") << putChar(0x0D) << QStringList{"PutChar 0x0D '\\x0D'"};
        QTest::newRow("PutPattern")
            << putPattern(0xA5) << QStringList{"PutPattern 0xA5 at page 0, column 0"};
        QTest::newRow("SetTouchMode")
            << setTouchMode(1) << QStringList{"SetTouchMode 1 (coordinates)"};
        QTest::newRow("SetPage") << setPage(15) << QStringList{"SetPage 15"};
        QTest::newRow("SetPage 16")
            << setPage(16) << QStringList{"SetPage 16: out of range, ignored"};
        QTest::newRow("LoadScreen") << loadScreen(5) << QStringList{"LoadScreen 5"};
        QTest::newRow("LoadScreen 0")
            << loadScreen(0) << QStringList{"LoadScreen 0: out of range, ignored"};
        QTest::newRow("SetBacklight") << setBacklight(false) << QStringList{"SetBacklight 0 (off)"};
        QTest::newRow("DrawPixel in two writes")
            << drawPixelPrefix() + drawPixelCoordinates(10, 20) << QStringList{"DrawPixel 10,20"};
        QTest::newRow("DrawPixel without prefix 1")
            << bytesOf("0A 02 0A 14") << QStringList{"DrawPixel 0x02 10,20: out of range, ignored"};
        QTest::newRow("SetDisplayMode")
            << setDisplayMode(2) << QStringList{"SetDisplayMode 2 (bottom half reversed)"};
        QTest::newRow("SetLcdPower") << setLcdPower(true) << QStringList{"SetLcdPower 1 (on)"};
        QTest::newRow("SetBaudRate")
            << setBaudRate(8) << QStringList{"SetBaudRate 8 (115200 baud)"};
        QTest::newRow("SetBaudRate 9")
            << setBaudRate(9) << QStringList{"SetBaudRate 9: out of range, ignored"};
        QTest::newRow("SetContrast") << setContrast(127) << QStringList{"SetContrast 127"};
        QTest::newRow("SaveScreen") << saveScreen(203) << QStringList{"SaveScreen 203"};
        QTest::newRow("SetColumn") << setColumn(159) << QStringList{"SetColumn 159"};
        QTest::newRow("SelectFont") << selectFont(3) << QStringList{"SelectFont 3 (14 pixel bold)"};
        QTest::newRow("CalibrateTouch") << calibrateTouch() << QStringList{"CalibrateTouch 1"};
        QTest::newRow("RestoreTouchCalibration")
            << restoreTouchCalibration() << QStringList{"RestoreTouchCalibration 1"};
        QTest::newRow("RunAnimation")
            << runAnimation(3, 1, 2) << QStringList{"RunAnimation delay 3, screens 1..2"};
        QTest::newRow("SetKeypadMode")
            << setKeypadMode(2) << QStringList{"SetKeypadMode 2 (keypad with flip)"};
        QTest::newRow("FlipPage") << flipPage(7) << QStringList{"FlipPage 7"};
        QTest::newRow("DrawLineRect") << drawLineRect(Figure::Filled, 1, 2, 3, 4)
                                      << QStringList{"DrawLineRect filled 1,2 to 3,4"};
        QTest::newRow("ClearLineRect") << clearLineRect(Figure::Reversed, 9, 8, 7, 6)
                                       << QStringList{"ClearLineRect reversed 9,8 to 7,6"};
        QTest::newRow("DrawLineRect figure 4")
            << bytesOf("1F 04 00 00 05 05")
            << QStringList{"DrawLineRect figure ? 0,0 to 5,5: out of range, ignored"};
        QTest::newRow("DrawCircle")
            << drawCircle(10, 80, 64) << QStringList{"DrawCircle radius 10 at 80,64"};
        QTest::newRow("ClearCircle")
            << clearCircle(1, 2, 3) << QStringList{"ClearCircle radius 1 at 2,3"};
        QTest::newRow("SetRotation")
            << setRotation(true) << QStringList{"SetRotation 1 (180 degrees)"};
        QTest::newRow("Identify") << identify() << QStringList{"Identify 0x44"};
        QTest::newRow("Identify bad")
            << bytesOf("49 45") << QStringList{"Identify 0x45: out of range, ignored"};
        QTest::newRow("string") << bytesOf("26 48 69 0D") << QStringList{"BeginString \"Hi\""};
        QTest::newRow("empty string") << bytesOf("26 0D") << QStringList{"BeginString \"\""};
        QTest::newRow("string with quote and byte 0xE9")
            << bytesOf("26 22 E9 0D") << QStringList{"BeginString \"\\\"\\xE9\""};
        QTest::newRow("unknown bytes skipped")
            << bytesOf("04 FF 06 03")
            << QStringList{"unknown command byte 0x04, skipped",
                           "unknown command byte 0xFF, skipped", "SetPage 3"};
        QTest::newRow("unfinished command logs nothing") << bytesOf("1F 02 00 00") << QStringList{};
    }
    void decodes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, log);
        Board b;
        b.feed(bytes);
        QCOMPARE(b.log, log);
    }

    void commandsReachTheModel() {
        Board b;
        b.feed(bytesOf("06 05 12 14 03 FF"));
        QCOMPARE(b.model.pageByte(5, 20), 0xFF);
        QCOMPARE(b.model.column(), 21);
        b.feed(bytesOf("1F 02 00 00 09 09"));
        QCOMPARE(litPixels(b.model), 8 + 100 - 0); // page 5 is below the square
        b.feed(bytesOf("0F 04"));
        QCOMPARE(b.model.baud(), 19200);
        b.feed(bytesOf("10 2D 49 44"));
        QCOMPARE(b.replies, QStringList{"45!"});
        b.feed(bytesOf("0B 01 27 01 1D 02 0D 00 09 00"));
        QCOMPARE(b.model.displayMode(), 1);
        QVERIFY(b.model.rotated180());
        QCOMPARE(b.model.flipPage(), 2);
        QVERIFY(!b.model.lcdOn());
        QVERIFY(!b.model.backlightOn());
    }

    void unknownByteInsideParametersIsAParameter() {
        // Once a command has begun, every byte is its parameter, even one that is no command.
        Board b;
        b.feed(bytesOf("03 04"));
        QCOMPARE(b.log, QStringList{"PutPattern 0x04 at page 0, column 0"});
        QCOMPARE(b.model.pageByte(0, 0), 0x04);
    }

    void beginString45() {
        // The 45th character ends the text without a carriage return; the next byte is a command.
        Board b;
        QByteArray bytes = protocol::beginString('A') + QByteArray(44, 'B');
        b.feed(bytes);
        QCOMPARE(b.log.size(), 1);
        QCOMPARE(b.log[0], QStringLiteral("BeginString \"A%1\"").arg(QString(44, u'B')));
        QVERIFY(!b.interpreter.midCommand());
        b.feed(bytesOf("06 09"));
        QCOMPARE(b.log.last(), QStringLiteral("SetPage 9"));
        QCOMPARE(b.model.page(), 9);

        // The same 45 characters drawn one by one give the same picture.
        BoardModel expected;
        expected.putChar('A');
        for (int i = 0; i < 44; ++i)
            expected.putChar('B');
        expected.setPage(9);
        QVERIFY(b.model.memory() == expected.memory());
    }

    void beginString44AndReturn() {
        Board b;
        b.feed(protocol::beginString('a') + QByteArray(43, 'b') + bytesOf("0D 06 01"));
        QCOMPARE(b.log.size(), 2);
        QCOMPARE(b.log[0].size(), int(sizeof("BeginString \"\"") - 1) + 44);
        QCOMPARE(b.log[1], QStringLiteral("SetPage 1"));
    }

    void stringTextIsNotDecoded() {
        // Command codes inside a string are characters; they are drawn, not carried out.
        Board b;
        b.feed(bytesOf("26 06 05 0D"));
        QCOMPARE(b.model.page(), 0);
        QCOMPARE(b.log, QStringList{"BeginString \"\\x06\\x05\""});
    }

    void stringIsDrawnOnlyAtItsEnd() {
        Board b;
        b.feed(bytesOf("26 48 69"));
        QCOMPARE(litPixels(b.model), 0);
        QVERIFY(b.interpreter.midCommand());
        b.feed(bytesOf("0D"));
        QVERIFY(litPixels(b.model) > 0);
        QCOMPARE(b.model.column(), 2 * BoardFonts::cellWidth(1));
    }

    void resetDropsAStartedCommand() {
        Board b;
        b.feed(bytesOf("1F 02 00"));
        b.interpreter.reset();
        b.feed(bytesOf("06 04"));
        QCOMPARE(b.log, QStringList{"SetPage 4"});
    }

    void nextCommandStopsAnimation_data() {
        QTest::addColumn<QByteArray>("next");
        QTest::newRow("ClearDisplay 16 (the Stop button)") << bytesOf("01 10");
        QTest::newRow("Identify") << bytesOf("49 44");
        QTest::newRow("ignored command") << bytesOf("06 63");
        QTest::newRow("string") << bytesOf("26 0D");
    }
    void nextCommandStopsAnimation() {
        QFETCH(QByteArray, next);
        Board b;
        b.feed(protocol::runAnimation(3, 1, 4));
        QVERIFY(b.model.animationRunning());
        QVERIFY(b.model.memory() == b.model.screen(1));
        b.feed(bytesOf("04")); // an unknown byte is no command
        QVERIFY(b.model.animationRunning());
        b.feed(next.left(1));
        QVERIFY(b.model.animationRunning()); // not before the command is complete
        b.feed(next.mid(1));
        QVERIFY(!b.model.animationRunning());
    }

    void piecesDoNotMatter_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 42u, 4711u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void piecesDoNotMatter() {
        QFETCH(quint32, seed);
        const QByteArray stream = everyCommand() + everyCommand();

        Board whole;
        whole.feed(stream);

        Board single;
        for (char c : stream)
            single.feed(QByteArray(1, c));

        Board pieces;
        QRandomGenerator random(seed);
        for (qsizetype at = 0; at < stream.size();) {
            const qsizetype n = random.bounded(1, 12);
            pieces.feed(stream.mid(at, n));
            at += n;
        }

        QVERIFY(whole.log.size() > 40);
        QVERIFY(litPixels(whole.model) > 0);
        for (Board* board : {&whole, &single, &pieces})
            board->folder.quiet();
        QVERIFY(whole.folded.contains(QStringLiteral(
            "PutPattern 0x00 at page 2, column 150 ... 0x44 at page 3, column 9 (x20)")));
        for (const Board* other : {&single, &pieces}) {
            QCOMPARE(other->log, whole.log);
            QCOMPARE(other->folded, whole.folded);
            QCOMPARE(other->replies, whole.replies);
            QVERIFY(other->model.memory() == whole.model.memory());
            QVERIFY(other->model.screen(7) == whole.model.screen(7));
            QCOMPARE(other->model.page(), whole.model.page());
            QCOMPARE(other->model.column(), whole.model.column());
            QCOMPARE(other->model.baud(), whole.model.baud());
            QCOMPARE(other->model.animationRunning(), whole.model.animationRunning());
        }
        QCOMPARE(whole.replies, (QStringList{"45!", "45!"}));
        QCOMPARE(whole.model.baud(), 19200);
    }
};

QTEST_APPLESS_MAIN(TestCommandInterpreter)
#include "tst_commandinterpreter.moc"
