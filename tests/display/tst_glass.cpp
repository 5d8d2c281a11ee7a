// Which pixels of the glass are lit: the display memory after display mode, rotation, page flip
// and LCD power. Each row checks the whole glass: the lit count and the pixels named.

#include "display/BoardModel.h"
#include "display/Glass.h"

#include <QPoint>
#include <QTest>

using Points = QList<QPoint>;
const Points kDrawn{{0, 0}, {10, 8}, {150, 100}}; // what the memory holds

class TestGlass : public QObject {
    Q_OBJECT

private slots:
    void glassOf_data() {
        for (const char* setting : {"mode", "rotation", "flipPage", "lcdPower"})
            QTest::addColumn<int>(setting);
        QTest::addColumn<int>("litCount");
        QTest::addColumn<Points>("lit");
        QTest::addColumn<Points>("dark");
        QTest::newRow("normal") << 0 << 0 << 0 << 1 << 3 << kDrawn << Points{{1, 0}};
        QTest::newRow("reverse") << 1 << 0 << 0 << 1 << 160 * 128 - 3 << Points{{1, 0}, {159, 127}}
                                 << kDrawn;
        QTest::newRow("rotated") << 0 << 1 << 0 << 1 << 3 << Points{{159, 127}, {149, 119}, {9, 27}}
                                 << Points{{0, 0}};
        // The mode reverses halves of the glass as the user sees it, after the rotation.
        QTest::newRow("rotated, bottom half reversed")
            << 2 << 1 << 0 << 1 << 1 + 160 * 64 - 2 << Points{{9, 27}, {0, 64}}
            << Points{{159, 127}, {149, 119}, {0, 63}};
        // The scan starts at memory row 8 and wraps round: row 0 shows at 120.
        QTest::newRow("flip page 1")
            << 0 << 0 << 1 << 1 << 3 << Points{{0, 120}, {10, 0}, {150, 92}} << Points{{0, 0}};
        QTest::newRow("flip page 1, rotated")
            << 0 << 1 << 1 << 1 << 3 << Points{{159, 7}, {149, 127}, {9, 35}} << Points{{0, 0}};
        QTest::newRow("LCD off, reverse") << 1 << 0 << 0 << 0 << 0 << Points{} << kDrawn;
    }
    void glassOf() {
        QFETCH(int, mode);
        QFETCH(int, rotation);
        QFETCH(int, flipPage);
        QFETCH(int, lcdPower);
        QFETCH(int, litCount);
        QFETCH(Points, lit);
        QFETCH(Points, dark);
        display::BoardModel m;
        for (const QPoint& p : kDrawn)
            m.drawPixel(p.x(), p.y());
        const auto memory = m.memory();
        QVERIFY(m.setDisplayMode(mode) && m.setRotation(rotation) && m.setFlipPage(flipPage) &&
                m.setLcdPower(lcdPower));
        const display::Glass glass = display::glassOf(m);
        QCOMPARE(glass.litCount(), litCount);
        for (const QPoint& p : lit)
            QVERIFY2(glass.lit(p.x(), p.y()),
                     qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        for (const QPoint& p : dark)
            QVERIFY2(!glass.lit(p.x(), p.y()),
                     qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        QVERIFY(m.memory() == memory); // the settings change the glass, never the memory
    }
};

QTEST_APPLESS_MAIN(TestGlass)
#include "tst_glass.moc"
