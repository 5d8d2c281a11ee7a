// The board's display model: display memory, text, graphics, display settings, screens,
// animation, identification, touch reports and rate.

#include "display/BoardFonts.h"
#include "display/BoardModel.h"
#include "display/Glass.h"
#include "support/BoardPixels.h"

#include <QTest>
#include <cmath>
#include <set>

using display::BoardFonts;
using display::BoardModel;
using display::glassOf;

namespace {

// Every lit pixel, as "x,y" texts, for readable failures.
std::set<std::pair<int, int>> litSet(const BoardModel& m) {
    std::set<std::pair<int, int>> s;
    for (int y = 0; y < protocol::kRows; ++y)
        for (int x = 0; x < protocol::kColumns; ++x)
            if (m.pixel(x, y))
                s.insert({x, y});
    return s;
}

bool isEmpty(const BoardModel::Memory& memory) {
    for (auto b : memory)
        if (b != 0)
            return false;
    return true;
}

} // namespace

class TestBoardModel : public QObject {
    Q_OBJECT

private slots:
    void startState() {
        BoardModel m;
        QVERIFY(isEmpty(m.memory()));
        QCOMPARE(m.page(), 0);
        QCOMPARE(m.column(), 0);
        QCOMPARE(m.font(), 1);
        QCOMPARE(m.contrast(), 32);
        QCOMPARE(m.baud(), 9600);
        QVERIFY(m.lcdOn());
        QVERIFY(m.backlightOn());
        QCOMPARE(m.touchMode(), BoardModel::TouchMode::Off);
    }

    void patternBits_data() {
        QTest::addColumn<int>("byte");
        QTest::newRow("bit 0 is the top row") << 0x01;
        QTest::newRow("bit 7 is the bottom row") << 0x80;
        QTest::newRow("alternate") << 0xA5;
        QTest::newRow("all") << 0xFF;
    }
    void patternBits() {
        QFETCH(int, byte);
        BoardModel m;
        QVERIFY(m.setPage(5));
        QVERIFY(m.setColumn(17));
        m.putPattern(std::uint8_t(byte));
        QCOMPARE(m.pageByte(5, 17), byte);
        for (int row = 0; row < 8; ++row)
            QCOMPARE(m.pixel(17, 5 * 8 + row), bool((byte >> row) & 1));
        QCOMPARE(litPixels(m), __builtin_popcount(unsigned(byte)));
    }

    void patternWrap_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("endPage");
        QTest::addColumn<int>("endColumn");
        QTest::newRow("one column on") << 3 << 10 << 1 << 3 << 11;
        QTest::newRow("past column 159 to the next page") << 3 << 159 << 1 << 4 << 0;
        QTest::newRow("past page 15 back to page 0") << 15 << 159 << 1 << 0 << 0;
        QTest::newRow("a whole page") << 0 << 0 << 160 << 1 << 0;
        QTest::newRow("a whole screen") << 0 << 0 << 2560 << 0 << 0;
        QTest::newRow("screen and one") << 7 << 80 << 2561 << 7 << 81;
    }
    void patternWrap() {
        QFETCH(int, page);
        QFETCH(int, column);
        QFETCH(int, count);
        QFETCH(int, endPage);
        QFETCH(int, endColumn);
        BoardModel m;
        m.setPage(page);
        m.setColumn(column);
        for (int i = 0; i < count; ++i)
            m.putPattern(std::uint8_t(i % 255 + 1));
        QCOMPARE(m.page(), endPage);
        QCOMPARE(m.column(), endColumn);
        // The last byte sits just before the end position, across the wrap.
        const int last = (endPage * 160 + endColumn + 2560 - 1) % 2560;
        QCOMPARE(m.pageByte(last / 160, last % 160), (count - 1) % 255 + 1);
    }

    void positionRange_data() {
        QTest::addColumn<bool>("isPage");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("page 15") << true << 15 << true;
        QTest::newRow("page 16") << true << 16 << false;
        QTest::newRow("page 255") << true << 255 << false;
        QTest::newRow("column 159") << false << 159 << true;
        QTest::newRow("column 160") << false << 160 << false;
        QTest::newRow("column 255") << false << 255 << false;
    }
    void positionRange() {
        QFETCH(bool, isPage);
        QFETCH(int, value);
        QFETCH(bool, accepted);
        BoardModel m;
        m.setPage(2);
        m.setColumn(3);
        QCOMPARE(isPage ? m.setPage(value) : m.setColumn(value), accepted);
        QCOMPARE(isPage ? m.page() : m.column(), accepted ? value : (isPage ? 2 : 3));
        m.putPattern(0xFF); // still inside the memory
        QCOMPARE(litPixels(m), 8);
    }

    void clearDisplay_data() {
        QTest::addColumn<int>("parameter");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("litAfter");
        QTest::newRow("page 0") << 0 << true << 15 * 160 * 8;
        QTest::newRow("page 15") << 15 << true << 15 * 160 * 8;
        QTest::newRow("whole screen") << 16 << true << 0;
        QTest::newRow("17 out of range") << 17 << false << 16 * 160 * 8;
        QTest::newRow("255 out of range") << 255 << false << 16 * 160 * 8;
    }
    void clearDisplay() {
        QFETCH(int, parameter);
        QFETCH(bool, accepted);
        QFETCH(int, litAfter);
        BoardModel m;
        for (int i = 0; i < 2560; ++i)
            m.putPattern(0xFF);
        QCOMPARE(m.clearDisplay(parameter), accepted);
        QCOMPARE(litPixels(m), litAfter);
        if (parameter < 16)
            for (int c = 0; c < 160; ++c)
                QCOMPARE(m.pageByte(parameter, c), 0);
    }

    void figures_data() {
        QTest::addColumn<int>("figure");
        QTest::addColumn<int>("x1");
        QTest::addColumn<int>("y1");
        QTest::addColumn<int>("x2");
        QTest::addColumn<int>("y2");
        QTest::addColumn<int>("lit");
        QTest::newRow("horizontal line") << 0 << 10 << 5 << 19 << 5 << 10;
        QTest::newRow("vertical line, ends swapped") << 0 << 3 << 40 << 3 << 31 << 10;
        QTest::newRow("diagonal line") << 0 << 0 << 0 << 9 << 9 << 10;
        QTest::newRow("steep line") << 0 << 0 << 0 << 3 << 12 << 13;
        QTest::newRow("line from 0,0 to 255,255 clipped") << 0 << 0 << 0 << 255 << 255 << 128;
        QTest::newRow("line from 255,0 to 0,255 clipped") << 0 << 255 << 0 << 0 << 255 << 32;
        QTest::newRow("outline 10x5") << 1 << 10 << 10 << 19 << 14 << 26;
        QTest::newRow("outline corners swapped") << 1 << 19 << 14 << 10 << 10 << 26;
        QTest::newRow("outline clipped at 255") << 1 << 150 << 120 << 255 << 255 << 17;
        QTest::newRow("outline wholly outside") << 1 << 200 << 200 << 255 << 255 << 0;
        QTest::newRow("filled 10x5") << 2 << 10 << 10 << 19 << 14 << 50;
        QTest::newRow("filled clipped at 255") << 2 << 150 << 120 << 255 << 255 << 80;
        QTest::newRow("filled whole screen and more") << 2 << 0 << 0 << 255 << 255 << 20480;
        QTest::newRow("reversed on empty") << 3 << 0 << 0 << 3 << 3 << 16;
        QTest::newRow("single point") << 2 << 7 << 7 << 7 << 7 << 1;
    }
    void figures() {
        QFETCH(int, figure);
        QFETCH(int, x1);
        QFETCH(int, y1);
        QFETCH(int, x2);
        QFETCH(int, y2);
        QFETCH(int, lit);
        BoardModel m;
        QVERIFY(m.lineRect(true, figure, x1, y1, x2, y2));
        QCOMPARE(litPixels(m), lit);
        // Clearing the same figure leaves nothing (reversing again restores the empty screen).
        QVERIFY(m.lineRect(false, figure, x1, y1, x2, y2));
        QCOMPARE(litPixels(m), 0);
    }

    void lineEndsAndOutlineEdges() {
        BoardModel m;
        m.lineRect(true, 0, 5, 7, 40, 20);
        QVERIFY(m.pixel(5, 7));
        QVERIFY(m.pixel(40, 20));
        m.clearDisplay(16);
        m.lineRect(true, 1, 10, 20, 30, 40);
        for (int x = 10; x <= 30; ++x) {
            QVERIFY(m.pixel(x, 20));
            QVERIFY(m.pixel(x, 40));
        }
        for (int y = 20; y <= 40; ++y) {
            QVERIFY(m.pixel(10, y));
            QVERIFY(m.pixel(30, y));
        }
        QVERIFY(!m.pixel(20, 30)); // inside stays clear
    }

    void reversedAreaFlipsEachPixel() {
        BoardModel m;
        m.lineRect(true, 2, 0, 0, 9, 9); // 100 lit
        m.lineRect(true, 3, 5, 5, 14, 14);
        // The overlap 5..9 x 5..9 (25) goes dark, the rest of the new area (75) lights.
        QCOMPARE(litPixels(m), 100 - 25 + 75);
        QVERIFY(!m.pixel(7, 7));
        QVERIFY(m.pixel(12, 12));
        QVERIFY(m.pixel(2, 2));
        m.lineRect(false, 3, 5, 5, 14, 14); // reversing again restores it
        QCOMPARE(litPixels(m), 100);
    }

    void unknownFigureIgnored() {
        BoardModel m;
        const auto rev = m.revision();
        QVERIFY(!m.lineRect(true, 4, 0, 0, 10, 10));
        QVERIFY(!m.lineRect(true, 255, 0, 0, 10, 10));
        QCOMPARE(litPixels(m), 0);
        QCOMPARE(m.revision(), rev);
    }

    void drawAndClearPixel_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("lit");
        QTest::newRow("origin") << 0 << 0 << 1;
        QTest::newRow("far corner") << 159 << 127 << 1;
        QTest::newRow("x 160 clipped") << 160 << 0 << 0;
        QTest::newRow("y 128 clipped") << 0 << 128 << 0;
        QTest::newRow("255,255 clipped") << 255 << 255 << 0;
    }
    void drawAndClearPixel() {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, lit);
        BoardModel m;
        m.drawPixel(x, y);
        QCOMPARE(litPixels(m), lit);
        QCOMPARE(m.pixel(x, y), lit == 1);
    }

    void circleSymmetry_data() {
        QTest::addColumn<int>("radius");
        QTest::newRow("r 1") << 1;
        QTest::newRow("r 7") << 7;
        QTest::newRow("r 20") << 20;
        QTest::newRow("r 60") << 60;
    }
    void circleSymmetry() {
        QFETCH(int, radius);
        const int cx = 80;
        const int cy = 64;
        BoardModel m;
        m.circle(true, radius, cx, cy);
        const auto lit = litSet(m);
        QVERIFY(!lit.empty());
        for (const auto& [x, y] : lit) {
            const int dx = x - cx;
            const int dy = y - cy;
            // Mirror images across both axes and the diagonal are lit too.
            QVERIFY(lit.count({cx - dx, y}));
            QVERIFY(lit.count({x, cy - dy}));
            QVERIFY(lit.count({cx + dy, cy + dx}));
            // Every point lies within half a pixel of the radius.
            const double d = std::sqrt(double(dx * dx + dy * dy));
            QVERIFY2(std::abs(d - radius) <= 0.75,
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
        QVERIFY(lit.count({cx + radius, cy}));
        QVERIFY(lit.count({cx, cy - radius}));
        QVERIFY(!lit.count({cx, cy}));
        m.circle(false, radius, cx, cy);
        QCOMPARE(litPixels(m), 0);
    }

    void circleClipped_data() {
        QTest::addColumn<int>("radius");
        QTest::addColumn<int>("cx");
        QTest::addColumn<int>("cy");
        QTest::newRow("centre at origin") << 20 << 0 << 0;
        QTest::newRow("centre off screen") << 100 << 255 << 255;
        QTest::newRow("radius 255") << 255 << 80 << 64;
        QTest::newRow("radius 0") << 0 << 159 << 127;
    }
    void circleClipped() {
        QFETCH(int, radius);
        QFETCH(int, cx);
        QFETCH(int, cy);
        BoardModel m;
        m.circle(true, radius, cx, cy);
        for (const auto& [x, y] : litSet(m)) {
            const double d = std::sqrt(double((x - cx) * (x - cx) + (y - cy) * (y - cy)));
            QVERIFY(std::abs(d - radius) <= 0.75);
        }
        if (radius == 0)
            QCOMPARE(litPixels(m), 1);
    }

    void fontData() {
        // Every glyph stays inside its font's rows and its cell, so text never spills.
        const int expectedRows[] = {7, 14, 14, 22};
        for (int f = 1; f <= 4; ++f) {
            QCOMPARE(BoardFonts::rows(f), expectedRows[f - 1]);
            for (int code = 0; code < 256; ++code) {
                const auto g = BoardFonts::glyph(f, std::uint8_t(code));
                QCOMPARE(g.width, BoardFonts::cellWidth(f));
                for (int i = 0; i < g.width; ++i)
                    QVERIFY2(g.columns[i] < (1u << BoardFonts::rows(f)),
                             qPrintable(QStringLiteral("font %1 code %2").arg(f).arg(code)));
            }
            QVERIFY(BoardFonts::hasGlyph(f, 'A'));
            QVERIFY(!BoardFonts::hasGlyph(f, 0x0D));
        }
        // Bold differs from regular.
        const auto regular = BoardFonts::glyph(2, 'A');
        const auto bold = BoardFonts::glyph(3, 'A');
        bool differs = false;
        for (int i = 0; i < regular.width; ++i)
            differs |= regular.columns[i] != bold.columns[i];
        QVERIFY(differs);
    }

    void putCharDrawsGlyph_data() {
        QTest::addColumn<int>("font");
        QTest::newRow("7 pixel") << 1;
        QTest::newRow("14 pixel") << 2;
        QTest::newRow("14 pixel bold") << 3;
        QTest::newRow("22 pixel") << 4;
    }
    void putCharDrawsGlyph() {
        QFETCH(int, font);
        BoardModel m;
        QVERIFY(m.selectFont(font));
        m.setPage(2);
        m.setColumn(30);
        m.putChar('H');
        const auto g = BoardFonts::glyph(font, 'H');
        for (int i = 0; i < g.width; ++i)
            for (int row = 0; row < BoardFonts::rows(font); ++row)
                QCOMPARE(m.pixel(30 + i, 16 + row), bool((g.columns[i] >> row) & 1));
        QCOMPARE(m.page(), 2);
        QCOMPARE(m.column(), 30 + g.width);
        QVERIFY(litPixels(m) > 0);
    }

    void textWrap_data() {
        QTest::addColumn<int>("font");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("drawnPage"); // where the glyph lands
        QTest::addColumn<int>("drawnColumn");
        QTest::addColumn<int>("endPage");
        QTest::addColumn<int>("endColumn");
        QTest::newRow("font 1 fits") << 1 << 0 << 150 << 0 << 150 << 0 << 155;
        QTest::newRow("font 1 ends the line exactly") << 1 << 0 << 155 << 0 << 155 << 1 << 0;
        QTest::newRow("font 1 too wide, next line") << 1 << 0 << 157 << 1 << 0 << 1 << 5;
        QTest::newRow("font 1 last line wraps to page 0") << 1 << 15 << 157 << 0 << 0 << 0 << 5;
        QTest::newRow("font 2 next line is two pages on") << 2 << 4 << 155 << 6 << 0 << 6 << 7;
        QTest::newRow("font 2 from page 14 wraps to 0") << 2 << 14 << 155 << 0 << 0 << 0 << 7;
        QTest::newRow("font 4 from page 12 wraps to 0") << 4 << 12 << 155 << 0 << 0 << 0 << 10;
        QTest::newRow("font 4 from page 9 goes to 12") << 4 << 9 << 151 << 12 << 0 << 12 << 10;
    }
    void textWrap() {
        QFETCH(int, font);
        QFETCH(int, page);
        QFETCH(int, column);
        QFETCH(int, drawnPage);
        QFETCH(int, drawnColumn);
        QFETCH(int, endPage);
        QFETCH(int, endColumn);
        BoardModel m;
        m.selectFont(font);
        m.setPage(page);
        m.setColumn(column);
        m.putChar('M');
        QCOMPARE(m.page(), endPage);
        QCOMPARE(m.column(), endColumn);
        const auto g = BoardFonts::glyph(font, 'M');
        for (int i = 0; i < g.width; ++i)
            QCOMPARE(m.pageByte(drawnPage, drawnColumn + i), int(g.columns[i] & 0xFF));
    }

    void textAtBottomIsCut() {
        // A two-page font on page 15: the lower half falls off the display, nothing else moves.
        BoardModel m;
        m.selectFont(4);
        m.setPage(15);
        m.putChar('W');
        QVERIFY(litPixels(m) > 0);
        for (int p = 0; p < 15; ++p)
            for (int c = 0; c < 160; ++c)
                QCOMPARE(m.pageByte(p, c), 0);
    }

    void controlCharacters() {
        BoardModel m;
        m.selectFont(2);
        m.setPage(4);
        m.setColumn(20);
        m.putChar(0x0D); // carriage return: next text line
        QCOMPARE(m.page(), 6);
        QCOMPARE(m.column(), 0);
        m.putChar('A');
        m.putChar('B');
        const int lit = litPixels(m);
        m.putChar(0x08); // backspace: one cell back, blanked
        QCOMPARE(m.column(), 7);
        QVERIFY(litPixels(m) < lit);
        for (int i = 7; i < 14; ++i) {
            QCOMPARE(m.pageByte(6, i), 0);
            QCOMPARE(m.pageByte(7, i), 0);
        }
        m.putChar(0x01); // other controls: nothing
        QCOMPARE(m.column(), 7);
        m.setColumn(0);
        m.putChar(0x08); // backspace at the left edge stays there
        QCOMPARE(m.column(), 0);
        m.putChar(0x81); // no glyph in Windows-1252: the box, one cell wide
        QCOMPARE(m.column(), BoardFonts::cellWidth(2));
    }

    void selectFontRange_data() {
        QTest::addColumn<int>("font");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("0") << 0 << false;
        QTest::newRow("1") << 1 << true;
        QTest::newRow("4") << 4 << true;
        QTest::newRow("5") << 5 << false;
    }
    void selectFontRange() {
        QFETCH(int, font);
        QFETCH(bool, accepted);
        BoardModel m;
        m.selectFont(3);
        QCOMPARE(m.selectFont(font), accepted);
        QCOMPARE(m.font(), accepted ? font : 3);
    }

    void saveAndLoad() {
        BoardModel m;
        m.lineRect(true, 2, 10, 10, 50, 50);
        m.circle(true, 30, 100, 60);
        const auto picture = m.memory();
        QVERIFY(m.saveScreen(5));
        QVERIFY(m.saveScreen(203));
        m.clearDisplay(16);
        QVERIFY(m.loadScreen(5));
        QVERIFY(m.memory() == picture);
        m.clearDisplay(16);
        QVERIFY(m.loadScreen(203));
        QVERIFY(m.memory() == picture);
        QVERIFY(isEmpty(m.screen(6)));
    }

    void screenRange_data() {
        QTest::addColumn<int>("screen");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("0") << 0 << false;
        QTest::newRow("1 font screen") << 1 << true;
        QTest::newRow("203") << 203 << true;
        QTest::newRow("204") << 204 << false;
        QTest::newRow("255") << 255 << false;
    }
    void screenRange() {
        QFETCH(int, screen);
        QFETCH(bool, accepted);
        BoardModel m;
        m.drawPixel(1, 1);
        QCOMPARE(m.saveScreen(screen), accepted);
        m.clearDisplay(16);
        QCOMPARE(m.loadScreen(screen), accepted);
        QCOMPARE(m.pixel(1, 1), accepted);
    }

    void fontScreens() {
        // Screens 1..4 start with the four fonts' glyphs, each screen different.
        BoardModel m;
        for (int s = 1; s <= 4; ++s) {
            QVERIFY(!isEmpty(m.screen(s)));
            for (int t = s + 1; t <= 4; ++t)
                QVERIFY(m.screen(s) != m.screen(t));
        }
        QVERIFY(isEmpty(m.screen(5)));
        // Font 1's sheet begins with the space and "!": the glyph of "!" at column 5.
        const auto g = BoardFonts::glyph(1, '!');
        for (int i = 0; i < g.width; ++i)
            QCOMPARE(m.screen(1)[std::size_t(5 + i)], std::uint8_t(g.columns[i]));
    }

    void animation_data() {
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("stop");
        QTest::addColumn<QList<int>>("shown"); // screens after the start, one per tick
        QTest::addColumn<int>("intervalMs");
        QTest::newRow("upwards") << 3 << 5 << 7 << QList<int>{6, 7, 5, 6} << 30;
        QTest::newRow("downwards") << 10 << 7 << 5 << QList<int>{6, 5, 7, 6} << 100;
        QTest::newRow("one screen") << 1 << 9 << 9 << QList<int>{9, 9} << 10;
        QTest::newRow("delay 0 taken as 1") << 0 << 5 << 6 << QList<int>{6, 5} << 10;
        QTest::newRow("through the top") << 255 << 202 << 203 << QList<int>{203, 202} << 2550;
    }
    void animation() {
        QFETCH(int, delay);
        QFETCH(int, start);
        QFETCH(int, stop);
        QFETCH(QList<int>, shown);
        QFETCH(int, intervalMs);
        BoardModel m;
        // Each screen gets its own mark: screen n has pattern n at (0, 0).
        for (int n = 1; n <= 203; ++n) {
            m.setPage(0);
            m.setColumn(0);
            m.putPattern(std::uint8_t(n));
            m.saveScreen(n);
        }
        m.clearDisplay(16);
        QVERIFY(m.runAnimation(delay, start, stop));
        QVERIFY(m.animationRunning());
        QCOMPARE(m.animationIntervalMs(), intervalMs);
        QCOMPARE(m.pageByte(0, 0), start);
        for (int expected : shown) {
            m.animationTick();
            QCOMPARE(m.animationScreen(), expected);
            QCOMPARE(m.pageByte(0, 0), expected);
        }
        m.stopAnimation();
        const int last = m.pageByte(0, 0);
        m.animationTick();
        QCOMPARE(m.pageByte(0, 0), last); // no tick works once stopped
        QCOMPARE(m.animationIntervalMs(), 0);
    }

    void animationBadScreens_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("stop");
        QTest::newRow("start 0") << 0 << 5;
        QTest::newRow("stop 0") << 5 << 0;
        QTest::newRow("stop 204") << 5 << 204;
        QTest::newRow("start 255") << 255 << 5;
    }
    void animationBadScreens() {
        QFETCH(int, start);
        QFETCH(int, stop);
        BoardModel m;
        m.drawPixel(3, 3);
        QVERIFY(!m.runAnimation(3, start, stop));
        QVERIFY(!m.animationRunning());
        QVERIFY(m.pixel(3, 3));
    }

    void identify_data() {
        QTest::addColumn<int>("contrast");
        QTest::addColumn<int>("parameter");
        QTest::addColumn<QString>("reply");
        QTest::newRow("start contrast") << -1 << 0x44 << "32!";
        QTest::newRow("contrast 45") << 45 << 0x44 << "45!";
        QTest::newRow("contrast 0") << 0 << 0x44 << "0!";
        QTest::newRow("contrast 127") << 127 << 0x44 << "127!";
        QTest::newRow("contrast 128 refused") << 128 << 0x44 << "32!";
        QTest::newRow("wrong parameter: silence") << 45 << 0x45 << "";
    }
    void identify() {
        QFETCH(int, contrast);
        QFETCH(int, parameter);
        QFETCH(QString, reply);
        BoardModel m;
        QStringList replies;
        m.setReplySink([&](const std::string& t) { replies << QString::fromStdString(t); });
        if (contrast >= 0)
            QCOMPARE(m.setContrast(contrast), contrast <= 127);
        QCOMPARE(m.identify(parameter), !reply.isEmpty());
        QCOMPARE(replies, reply.isEmpty() ? QStringList() : QStringList{reply});
    }

    void touchReports_data() {
        QTest::addColumn<int>("mode"); // 0 off, 1 coordinates, 2 keypad, 3 keypad with flip
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QString>("report");
        QTest::newRow("off") << 0 << 10 << 10 << "";
        QTest::newRow("coordinates origin") << 1 << 0 << 0 << "X0Y0!";
        QTest::newRow("coordinates corner") << 1 << 159 << 127 << "X159Y127!";
        QTest::newRow("coordinates middle") << 1 << 80 << 64 << "X80Y64!";
        QTest::newRow("keypad top left") << 2 << 0 << 0 << "K1!";
        QTest::newRow("keypad top right") << 2 << 159 << 0 << "K4!";
        QTest::newRow("keypad key 6") << 2 << 40 << 32 << "K6!";
        QTest::newRow("keypad last of key 1") << 2 << 39 << 31 << "K1!";
        QTest::newRow("keypad bottom left") << 2 << 0 << 127 << "K13!";
        QTest::newRow("keypad bottom right") << 2 << 159 << 127 << "K16!";
        QTest::newRow("flipped top left") << 3 << 0 << 0 << "K16!";
        QTest::newRow("flipped bottom right") << 3 << 159 << 127 << "K1!";
        QTest::newRow("flipped key 6") << 3 << 40 << 32 << "K11!";
        QTest::newRow("off the glass") << 1 << 160 << 5 << "";
        QTest::newRow("negative") << 2 << -1 << 5 << "";
    }
    void touchReports() {
        QFETCH(int, mode);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QString, report);
        BoardModel m;
        QStringList replies;
        m.setReplySink([&](const std::string& t) { replies << QString::fromStdString(t); });
        if (mode <= 1)
            QVERIFY(m.setTouchMode(mode));
        else
            QVERIFY(m.setKeypadMode(mode - 1));
        QCOMPARE(QString::fromStdString(m.touch(x, y)), report);
        QCOMPARE(replies, report.isEmpty() ? QStringList() : QStringList{report});
    }

    void touchSettings() {
        BoardModel m;
        QVERIFY(!m.setTouchMode(2));
        QVERIFY(!m.setKeypadMode(0));
        QVERIFY(!m.setKeypadMode(3));
        QCOMPARE(m.touchMode(), BoardModel::TouchMode::Off);
        QVERIFY(!m.calibrateTouch(0));
        QVERIFY(m.calibrateTouch(1));
        QVERIFY(m.customCalibration());
        QVERIFY(!m.restoreTouchCalibration(2));
        QVERIFY(m.customCalibration());
        QVERIFY(m.restoreTouchCalibration(1));
        QVERIFY(!m.customCalibration());
    }

    void displayModes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>(
            "reversedQuarters"); // top-left, top-right, bottom-left, bottom-right
        QTest::newRow("0 normal") << 0 << "....";
        QTest::newRow("1 reverse") << 1 << "RRRR";
        QTest::newRow("2 bottom half") << 2 << "..RR";
        QTest::newRow("3 top half") << 3 << "RR..";
        QTest::newRow("4 right half") << 4 << ".R.R";
        QTest::newRow("5 diagonal \\") << 5 << "R..R";
        QTest::newRow("6 diagonal /") << 6 << ".RR.";
    }
    void displayModes() {
        QFETCH(int, mode);
        QFETCH(QString, reversedQuarters);
        BoardModel m;
        const auto before = m.memory();
        QVERIFY(m.setDisplayMode(mode));
        QVERIFY(m.memory() == before); // the memory is not touched
        const int corners[4][2] = {{0, 0}, {159, 0}, {0, 127}, {159, 127}};
        const int inner[4][2] = {{79, 63}, {80, 63}, {79, 64}, {80, 64}};
        for (int q = 0; q < 4; ++q) {
            const bool reversed = reversedQuarters[q] == u'R';
            QCOMPARE(glassOf(m).lit(corners[q][0], corners[q][1]), reversed);
            QCOMPARE(glassOf(m).lit(inner[q][0], inner[q][1]), reversed);
        }
    }

    void displaySettingsRange() {
        BoardModel m;
        QVERIFY(!m.setDisplayMode(7));
        QVERIFY(!m.setRotation(2));
        QVERIFY(!m.setFlipPage(16));
        QVERIFY(!m.setLcdPower(2));
        QVERIFY(!m.setBacklight(255));
        QVERIFY(!m.setContrast(128));
        QCOMPARE(m.displayMode(), 0);
        QVERIFY(!m.rotated180());
        QCOMPARE(m.flipPage(), 0);
        QVERIFY(m.lcdOn());
        QVERIFY(m.backlightOn());
        QCOMPARE(m.contrast(), 32);
        QVERIFY(m.setLcdPower(0));
        QVERIFY(!m.lcdOn());
        QVERIFY(m.setBacklight(0));
        QVERIFY(!m.backlightOn());
    }

    void rotationAndFlip() {
        BoardModel m;
        m.drawPixel(0, 0);
        m.drawPixel(10, 8); // page 1
        QVERIFY(glassOf(m).lit(0, 0));
        QVERIFY(m.setRotation(1));
        QVERIFY(glassOf(m).lit(159, 127));
        QVERIFY(!glassOf(m).lit(0, 0));
        QVERIFY(m.setRotation(0));
        // The view starts at page 1 and wraps round: memory row 8 at the top, row 0 at 120.
        QVERIFY(m.setFlipPage(1));
        QVERIFY(glassOf(m).lit(10, 0));
        QVERIFY(glassOf(m).lit(0, 120));
        QVERIFY(!glassOf(m).lit(0, 0));
        QVERIFY(m.pixel(0, 0)); // memory unchanged
        // Both: the flipped view turned by 180 degrees.
        QVERIFY(m.setRotation(1));
        QVERIFY(glassOf(m).lit(159 - 10, 127));
        QVERIFY(glassOf(m).lit(159, 7));
    }

    void baudRate_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("baud");
        QTest::newRow("0") << 0 << 2400;
        QTest::newRow("3") << 3 << 14400;
        QTest::newRow("5") << 5 << 28800;
        QTest::newRow("8") << 8 << 115200;
        QTest::newRow("9 refused") << 9 << 9600;
        QTest::newRow("255 refused") << 255 << 9600;
    }
    void baudRate() {
        QFETCH(int, index);
        QFETCH(int, baud);
        BoardModel m;
        QCOMPARE(m.setBaudRate(index), index <= 8);
        QCOMPARE(m.baud(), baud);
        QCOMPARE(BoardModel::indexOfBaud(baud), m.rateIndex());
    }
};

QTEST_APPLESS_MAIN(TestBoardModel)
#include "tst_boardmodel.moc"
