// The "Display" page: each button's and rotation option's message, the preview recoloured only
// by the four Normal/Reverse buttons, and the page scroll bars with their mirror boxes.

#include "panels/display/DisplayPanel.h"
#include "panels/display/ShapeWidget.h"
#include "support/FindControl.h"
#include "support/HexCompare.h"
#include "support/PanelFixture.h"
#include "support/ScrollBarInput.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <memory>

namespace {
const char* const kShapes[] = {"Shape1", "Shape2", "Shape3", "Shape4"};
}

class TestDisplayPanel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startState();
    void buttonSendsItsMessage_data();
    void buttonSendsItsMessage();
    void previewAfterButtons_data();
    void previewAfterButtons();
    void reverseWhileClosedThenNormalWhileOpen();
    void clearPageTakesTheScrollBar_data();
    void clearPageTakesTheScrollBar();
    void flipPageAfterMovingTheBar();
    void rotationSendsWhenSelected_data();
    void rotationSendsWhenSelected();
    void lostPortSilencesLaterClicks();

private:
    template <typename T> T* child(const QString& name) const {
        return findControl<T>(&f->panel, name);
    }
    // The four quarters as "N" (normal) or "R" (reverse), Shape1 to Shape4.
    QString preview() const;

    std::unique_ptr<PanelFixture<DisplayPanel>> f;
};

QString TestDisplayPanel::preview() const {
    QString quarters;
    for (const char* name : kShapes) {
        const QColor c = child<ShapeWidget>(QString::fromLatin1(name))->colour();
        if (c == QColor(0, 0, 255))
            quarters += QLatin1Char('N');
        else if (c == QColor(192, 255, 255))
            quarters += QLatin1Char('R');
        else
            quarters += QLatin1Char('?');
    }
    return quarters;
}

void TestDisplayPanel::init() {
    f = std::make_unique<PanelFixture<DisplayPanel>>();
    f->panel.show();
}

void TestDisplayPanel::cleanup() {
    QVERIFY(f->dialogs.messages.isEmpty());
    f.reset();
}

void TestDisplayPanel::startState() {
    QCOMPARE(preview(), QStringLiteral("NNNN"));
    QCOMPARE(child<ShapeWidget>("Shape1")->accessibleDescription(),
             QStringLiteral("Top left quarter: normal"));
    QCOMPARE(child<ShapeWidget>("Shape4")->accessibleDescription(),
             QStringLiteral("Bottom right quarter: normal"));
    // Shape1 top left, Shape2 top right, Shape3 bottom left, Shape4 bottom right.
    const QPoint p1 = child<ShapeWidget>("Shape1")->geometry().topLeft();
    const QPoint p2 = child<ShapeWidget>("Shape2")->geometry().topLeft();
    const QPoint p3 = child<ShapeWidget>("Shape3")->geometry().topLeft();
    const QPoint p4 = child<ShapeWidget>("Shape4")->geometry().topLeft();
    QVERIFY(p1.x() < p2.x() && p1.y() == p2.y());
    QVERIFY(p3.x() < p4.x() && p3.y() == p4.y());
    QVERIFY(p1.y() < p3.y() && p1.x() == p3.x());

    // LCD sits inside Normal/Reverse; both it and Controller inside the untitled mode group.
    QCOMPARE(child<QPushButton>("cmdLCDON")->parentWidget()->objectName(),
             QStringLiteral("FrameLCD"));
    QCOMPARE(child<QGroupBox>("FrameLCD")->parentWidget()->objectName(),
             QStringLiteral("FrameNormalReverse"));
    QCOMPARE(child<QGroupBox>("FrameController")->parentWidget(),
             child<QGroupBox>("FrameNormalReverse")->parentWidget());
    QVERIFY(f->port.writes.isEmpty());
}

void TestDisplayPanel::buttonSendsItsMessage_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("LCD ON") << "cmdLCDON"
                            << "ON" << QByteArray("0D 01");
    QTest::newRow("LCD OFF") << "cmdLCDOFF"
                             << "OFF" << QByteArray("0D 00");
    QTest::newRow("Normal") << "Command8"
                            << "Normal" << QByteArray("0B 00");
    QTest::newRow("Reverse") << "Command9"
                             << "Reverse" << QByteArray("0B 01");
    QTest::newRow("Top Normal Bottom Reverse")
        << "Command10"
        << "Top Normal Bottom Reverse" << QByteArray("0B 02");
    QTest::newRow("Top Reverse Bottom Normal")
        << "Command11"
        << "Top Reverse Bottom Normal" << QByteArray("0B 03");
    QTest::newRow("Right Reverse Left Normal")
        << "Command12"
        << "Right Reverse Left Normal" << QByteArray("0B 04");
    QTest::newRow("Diagonal slash is mode 6") << "Command13"
                                              << "Diagonal [/]" << QByteArray("0B 06");
    QTest::newRow("Diagonal backslash is mode 5") << "Command14"
                                                  << "Diagonal [\\]" << QByteArray("0B 05");
    QTest::newRow("Clear Screen") << "Command15"
                                  << "Clear Screen" << QByteArray("01 10");
    QTest::newRow("Clear Page at 0") << "Command16"
                                     << "Clear Page" << QByteArray("01 00");
    QTest::newRow("Flip Page at 0") << "Command21"
                                    << "Flip Page" << QByteArray("1D 00");
}

// Each click is one write of its two bytes; a second click sends again; closed sends nothing.
void TestDisplayPanel::buttonSendsItsMessage() {
    QFETCH(QString, control);
    QFETCH(QString, caption);
    QFETCH(QByteArray, expected);

    auto* button = child<QPushButton>(control);
    QCOMPARE(button->text(), caption);
    QVERIFY(
        QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name).contains(caption));

    QTest::mouseClick(button, Qt::LeftButton);
    COMPARE_HEX(f->port.writes, writesOf(expected.constData()));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(f->port.writes.size(), 2);
    COMPARE_HEX(f->port.writes.last(), bytesOf(expected.constData()));

    f->port.clearWrites();
    f->port.setOpenForTest(false);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(f->port.writes.isEmpty());
}

void TestDisplayPanel::previewAfterButtons_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("colours"); // empty: leaves the preview as it was

    QTest::newRow("Normal") << "Command8"
                            << "NNNN";
    QTest::newRow("Reverse") << "Command9"
                             << "RRRR";
    QTest::newRow("Top Normal Bottom Reverse") << "Command10"
                                               << "NNRR";
    QTest::newRow("Top Reverse Bottom Normal") << "Command11"
                                               << "RRNN";
    for (const char* other : {"cmdLCDON", "cmdLCDOFF", "Command12", "Command13", "Command14",
                              "Command15", "Command16", "Command21"})
        QTest::newRow(other) << other << "";
}

// Starting from two different previews, so that "unchanged" and "set" can be told apart; with
// the port open and closed.
void TestDisplayPanel::previewAfterButtons() {
    QFETCH(QString, control);
    QFETCH(QString, colours);

    for (bool open : {true, false}) {
        for (const char* before : {"Command10", "Command11"}) {
            f->port.setOpenForTest(open);
            child<QPushButton>(QString::fromLatin1(before))->click();
            const QString previous = preview();
            QTest::mouseClick(child<QPushButton>(control), Qt::LeftButton);
            const QString expected = colours.isEmpty() ? previous : colours;
            QVERIFY2(preview() == expected,
                     qPrintable(QStringLiteral("open=%1 after %2: %3, expected %4")
                                    .arg(open)
                                    .arg(QString::fromLatin1(before), preview(), expected)));
        }
    }
    const bool reverse = child<ShapeWidget>("Shape1")->colour() == QColor(192, 255, 255);
    QCOMPARE(child<ShapeWidget>("Shape1")->accessibleDescription(),
             reverse ? QStringLiteral("Top left quarter: reverse")
                     : QStringLiteral("Top left quarter: normal"));
}

void TestDisplayPanel::reverseWhileClosedThenNormalWhileOpen() {
    f->port.setOpenForTest(false);
    QTest::mouseClick(child<QPushButton>("Command9"), Qt::LeftButton);
    QCOMPARE(preview(), QStringLiteral("RRRR"));
    QCOMPARE(child<ShapeWidget>("Shape3")->accessibleDescription(),
             QStringLiteral("Bottom left quarter: reverse"));
    QVERIFY(f->port.writes.isEmpty());

    f->port.setOpenForTest(true);
    QTest::mouseClick(child<QPushButton>("Command8"), Qt::LeftButton);
    QCOMPARE(preview(), QStringLiteral("NNNN"));
    COMPARE_HEX(f->port.writes, writesOf("0B 00"));
}

void TestDisplayPanel::clearPageTakesTheScrollBar_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("end key: page 15") << int(Qt::Key_End) << 1 << "15" << QByteArray("01 0F");
    QTest::newRow("right arrow x7: page 7")
        << int(Qt::Key_Right) << 7 << "7" << QByteArray("01 07");
    QTest::newRow("right arrow x20 stops at 15")
        << int(Qt::Key_Right) << 20 << "15" << QByteArray("01 0F");
    QTest::newRow("left arrow at 0 stays") << int(Qt::Key_Left) << 1 << "0" << QByteArray("01 00");
}

void TestDisplayPanel::clearPageTakesTheScrollBar() {
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(QString, shown);
    QFETCH(QByteArray, expected);

    auto* bar = child<QScrollBar>("HScroll9");
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(bar, Qt::Key(key));
    QCOMPARE(child<QLineEdit>("Text8")->text(), shown);
    QVERIFY(f->port.writes.isEmpty()); // moving the bar sends nothing

    // The page comes from the bar, not from the mirror box.
    child<QLineEdit>("Text8")->setText(QStringLiteral("3"));
    QTest::mouseClick(child<QPushButton>("Command16"), Qt::LeftButton);
    COMPARE_HEX(f->port.writes, writesOf(expected.constData()));
}

void TestDisplayPanel::flipPageAfterMovingTheBar() {
    auto* bar = child<QScrollBar>("HScroll8");
    QTest::keyClick(bar, Qt::Key_Right);
    clickScrollBarPart(bar, QStyle::SC_ScrollBarAddLine);
    clickScrollBarPart(bar, QStyle::SC_ScrollBarAddLine);
    QCOMPARE(bar->value(), 3);
    QCOMPARE(child<QLineEdit>("Text1")->text(), QStringLiteral("3"));
    QVERIFY(f->port.writes.isEmpty());
    QTest::mouseClick(child<QPushButton>("Command21"), Qt::LeftButton);
    COMPARE_HEX(f->port.writes, writesOf("1D 03"));
    // The other page bar is independent.
    QTest::mouseClick(child<QPushButton>("Command16"), Qt::LeftButton);
    COMPARE_HEX(f->port.writes, writesOf("1D 03 | 01 00"));

    f->port.clearWrites();
    f->port.setOpenForTest(false);
    QTest::keyClick(bar, Qt::Key_End);
    QCOMPARE(child<QLineEdit>("Text1")->text(), QStringLiteral("15"));
    QTest::mouseClick(child<QPushButton>("Command21"), Qt::LeftButton);
    QVERIFY(f->port.writes.isEmpty());
}

void TestDisplayPanel::rotationSendsWhenSelected_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("open") << true << QByteArray("27 01 | 27 00");
    QTest::newRow("closed") << false << QByteArray("");
}

void TestDisplayPanel::rotationSendsWhenSelected() {
    QFETCH(bool, open);
    QFETCH(QByteArray, expected);

    f->port.setOpenForTest(open);
    auto* rotate0 = child<QRadioButton>("optRotate0");
    auto* rotate180 = child<QRadioButton>("optRotate180");
    QTest::keyClick(rotate180, Qt::Key_Space);
    QVERIFY(rotate180->isChecked());
    QVERIFY(!rotate0->isChecked());
    // Working the option that is already selected changes nothing and sends nothing.
    QTest::keyClick(rotate180, Qt::Key_Space);
    QTest::keyClick(rotate0, Qt::Key_Space);
    QVERIFY(rotate0->isChecked());
    QVERIFY(!rotate180->isChecked());
    COMPARE_HEX(f->port.writes, writesOf(expected.constData()));
    QCOMPARE(preview(), QStringLiteral("NNNN"));
}

// A write that fails closes the port; later clicks still recolour but send nothing.
void TestDisplayPanel::lostPortSilencesLaterClicks() {
    f->port.failWrites(QStringLiteral("adapter removed"));
    QTest::mouseClick(child<QPushButton>("Command15"), Qt::LeftButton);
    QVERIFY(!f->port.portOpen());
    QTest::mouseClick(child<QPushButton>("Command9"), Qt::LeftButton);
    QCOMPARE(preview(), QStringLiteral("RRRR"));
    QVERIFY(f->port.writes.isEmpty());
}

QTEST_MAIN(TestDisplayPanel)
#include "tst_displaypanel.moc"
