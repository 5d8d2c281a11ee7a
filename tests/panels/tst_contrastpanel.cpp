// The "Contrast" and "Backlight" frames: one SetContrast per completed change of the bar, the
// take-over of the board's contrast at connection, and the backlight buttons.

#include "panels/display/ContrastPanel.h"
#include "support/HexCompare.h"
#include "support/PanelFixture.h"
#include "support/ScrollBarInput.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <memory>

class TestContrastPanel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void completedChangeSendsOnce_data();
    void completedChangeSendsOnce();
    void mouseOnArrowAndTrackSendsOnce_data();
    void mouseOnArrowAndTrackSendsOnce();
    void dragSendsOnlyOnRelease();
    void mouseDragSendsOnlyOnRelease();
    void takeOverContrast_data();
    void takeOverContrast();
    void backlightButtons_data();
    void backlightButtons();
    void lostPortSilencesLaterChanges();

private:
    QScrollBar* bar() const { return f->panel.findChild<QScrollBar*>(QStringLiteral("HScroll1")); }
    QLineEdit* mirrorBox() const { return f->panel.findChild<QLineEdit*>(QStringLiteral("Text9")); }

    std::unique_ptr<PanelFixture<ContrastPanel>> f;
};

void TestContrastPanel::init() {
    f = std::make_unique<PanelFixture<ContrastPanel>>();
    f->panel.resize(600, 80);
    f->panel.show();
}

void TestContrastPanel::cleanup() {
    QVERIFY(f->dialogs.messages.isEmpty());
    f.reset();
}

// Keyboard changes and changes made by the program, from a given start value.
void TestContrastPanel::completedChangeSendsOnce_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("startValue");
    QTest::addColumn<int>("key"); // 0: setValue(newValue) instead of a key
    QTest::addColumn<int>("newValue");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("shown");

    QTest::newRow("right arrow key")
        << true << 0 << int(Qt::Key_Right) << 0 << QByteArray("10 01") << "1";
    QTest::newRow("left arrow key")
        << true << 64 << int(Qt::Key_Left) << 0 << QByteArray("10 3F") << "63";
    QTest::newRow("end key to 127")
        << true << 3 << int(Qt::Key_End) << 0 << QByteArray("10 7F") << "127";
    QTest::newRow("home key to 0")
        << true << 90 << int(Qt::Key_Home) << 0 << QByteArray("10 00") << "0";
    QTest::newRow("page up key") << true << 10 << int(Qt::Key_PageUp) << 0 << QByteArray("10 0B")
                                 << "11";
    QTest::newRow("page down key")
        << true << 10 << int(Qt::Key_PageDown) << 0 << QByteArray("10 09") << "9";
    QTest::newRow("set to 127") << true << 0 << 0 << 127 << QByteArray("10 7F") << "127";
    QTest::newRow("right arrow at maximum")
        << true << 127 << int(Qt::Key_Right) << 0 << QByteArray("") << "127";
    QTest::newRow("left arrow at minimum")
        << true << 0 << int(Qt::Key_Left) << 0 << QByteArray("") << "0";
    QTest::newRow("same value") << true << 50 << 0 << 50 << QByteArray("") << "50";
    QTest::newRow("above range clamps") << true << 100 << 0 << 300 << QByteArray("10 7F") << "127";
    QTest::newRow("closed: key") << false << 0 << int(Qt::Key_End) << 0 << QByteArray("") << "127";
    QTest::newRow("closed: set") << false << 0 << 0 << 77 << QByteArray("") << "77";
}

void TestContrastPanel::completedChangeSendsOnce() {
    QFETCH(bool, open);
    QFETCH(int, startValue);
    QFETCH(int, key);
    QFETCH(int, newValue);
    QFETCH(QByteArray, expected);
    QFETCH(QString, shown);

    bar()->setValue(startValue);
    QCOMPARE(mirrorBox()->text(), QString::number(startValue));
    f->port.clearWrites();
    f->port.setOpenForTest(open);

    if (key)
        QTest::keyClick(bar(), Qt::Key(key));
    else
        bar()->setValue(newValue);

    COMPARE_HEX(f->port.writes, writesOf(expected.constData()));
    QCOMPARE(mirrorBox()->text(), shown);
    QCOMPARE(QString::number(bar()->value()), shown);
}

void TestContrastPanel::mouseOnArrowAndTrackSendsOnce_data() {
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("startValue");
    QTest::addColumn<int>("direction"); // +1 right, -1 left

    QTest::newRow("right arrow") << int(QStyle::SC_ScrollBarAddLine) << 0 << 1;
    QTest::newRow("left arrow") << int(QStyle::SC_ScrollBarSubLine) << 40 << -1;
    QTest::newRow("track right of thumb") << int(QStyle::SC_ScrollBarAddPage) << 0 << 1;
    QTest::newRow("track left of thumb") << int(QStyle::SC_ScrollBarSubPage) << 127 << -1;
}

// A click in the track may step or, in styles that jump there, move the thumb to the click;
// either way it is one completed change and one message with the new value.
void TestContrastPanel::mouseOnArrowAndTrackSendsOnce() {
    QFETCH(int, part);
    QFETCH(int, startValue);
    QFETCH(int, direction);

    bar()->setValue(startValue);
    f->port.clearWrites();
    clickScrollBarPart(bar(), QStyle::SubControl(part));

    const int value = bar()->value();
    QVERIFY2(direction > 0 ? value > startValue : value < startValue,
             qPrintable(QString::number(value)));
    QCOMPARE(f->port.writes.size(), 1);
    COMPARE_HEX(f->port.writes.first(), QByteArray::fromHex("10") + char(value));
    QCOMPARE(mirrorBox()->text(), QString::number(value));
}

void TestContrastPanel::dragSendsOnlyOnRelease() {
    bar()->setSliderDown(true);
    bar()->setSliderPosition(20);
    bar()->setSliderPosition(90);
    bar()->setSliderPosition(64);
    QVERIFY(f->port.writes.isEmpty());
    QCOMPARE(mirrorBox()->text(), QStringLiteral("64")); // follows the thumb live
    QCOMPARE(bar()->value(), 0);
    bar()->setSliderDown(false);
    COMPARE_HEX(f->port.writes, writesOf("10 40"));
    QCOMPARE(bar()->value(), 64);
    QCOMPARE(mirrorBox()->text(), QStringLiteral("64"));

    // Dragged away and back to where it was: no change, nothing sent.
    f->port.clearWrites();
    bar()->setSliderDown(true);
    bar()->setSliderPosition(100);
    bar()->setSliderPosition(64);
    bar()->setSliderDown(false);
    QVERIFY(f->port.writes.isEmpty());
    QCOMPARE(mirrorBox()->text(), QStringLiteral("64"));
}

void TestContrastPanel::mouseDragSendsOnlyOnRelease() {
    const QRect thumb = scrollBarPart(bar(), QStyle::SC_ScrollBarSlider);
    QVERIFY(thumb.isValid());
    const QPoint from = thumb.center();
    QTest::mousePress(bar(), Qt::LeftButton, {}, from);
    QTest::mouseMove(bar(), from + QPoint(40, 0));
    QTest::mouseMove(bar(), from + QPoint(120, 0));
    const int position = bar()->sliderPosition();
    QVERIFY2(position > 0, "the thumb did not follow the mouse");
    QVERIFY(f->port.writes.isEmpty());
    QCOMPARE(mirrorBox()->text(), QString::number(position));
    QTest::mouseRelease(bar(), Qt::LeftButton, {}, from + QPoint(120, 0));

    QCOMPARE(bar()->value(), position);
    QCOMPARE(f->port.writes.size(), 1);
    COMPARE_HEX(f->port.writes.first(), QByteArray::fromHex("10") + char(position));
}

void TestContrastPanel::takeOverContrast_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("reported");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("after");

    QTest::newRow("45 echoed") << true << 0 << 45 << QByteArray("10 2D") << 45;
    QTest::newRow("127 echoed") << true << 45 << 127 << QByteArray("10 7F") << 127;
    QTest::newRow("0 echoed") << true << 45 << 0 << QByteArray("10 00") << 0;
    QTest::newRow("same as shown: silent") << true << 45 << 45 << QByteArray("") << 45;
    QTest::newRow("0 at start: silent") << true << 0 << 0 << QByteArray("") << 0;
    QTest::newRow("closed: shown only") << false << 0 << 45 << QByteArray("") << 45;
    QTest::newRow("bad: 128 ignored") << true << 45 << 128 << QByteArray("") << 45;
    QTest::newRow("bad: -1 ignored") << true << 45 << -1 << QByteArray("") << 45;
    QTest::newRow("bad: 255 ignored") << true << 45 << 255 << QByteArray("") << 45;
}

void TestContrastPanel::takeOverContrast() {
    QFETCH(bool, open);
    QFETCH(int, before);
    QFETCH(int, reported);
    QFETCH(QByteArray, expected);
    QFETCH(int, after);

    bar()->setValue(before);
    f->port.clearWrites();
    f->port.setOpenForTest(open);
    f->panel.takeOverContrast(reported);

    COMPARE_HEX(f->port.writes, writesOf(expected.constData()));
    QCOMPARE(bar()->value(), after);
    QCOMPARE(mirrorBox()->text(), QString::number(after));
}

void TestContrastPanel::backlightButtons_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("ON twice") << "Command18" << true << QByteArray("09 01 | 09 01");
    QTest::newRow("OFF twice") << "Command19" << true << QByteArray("09 00 | 09 00");
    QTest::newRow("closed: ON") << "Command18" << false << QByteArray("");
    QTest::newRow("closed: OFF") << "Command19" << false << QByteArray("");
}

void TestContrastPanel::backlightButtons() {
    QFETCH(QString, control);
    QFETCH(bool, open);
    QFETCH(QByteArray, expected);

    f->port.setOpenForTest(open);
    auto* button = f->panel.findChild<QPushButton*>(control);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    COMPARE_HEX(f->port.writes, writesOf(expected.constData()));
    QCOMPARE(bar()->value(), 0);
    QCOMPARE(mirrorBox()->text(), QStringLiteral("0"));
}

// A write that fails closes the port; the bar keeps working and later changes send nothing.
void TestContrastPanel::lostPortSilencesLaterChanges() {
    f->port.failWrites(QStringLiteral("adapter removed"));
    QTest::keyClick(bar(), Qt::Key_Right);
    QVERIFY(!f->port.portOpen());
    QTest::keyClick(bar(), Qt::Key_Right);
    QVERIFY(f->port.writes.isEmpty());
    QCOMPARE(mirrorBox()->text(), QStringLiteral("2"));
}

QTEST_MAIN(TestContrastPanel)
#include "tst_contrastpanel.moc"
