// The "Start" frame: page and column go out only on their "OK", from the scroll bar's value.
#include "panels/text/StartPositionPanel.h"
#include "support/FakeSerialPort.h"
#include "support/HexCompare.h"
#include "support/PanelFixture.h"
#include "support/RecordingDialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

using Fixture = PanelFixture<StartPositionPanel>;

} // namespace

class tst_StartPositionPanel : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void buttons_data();
    void buttons();
    void movingSendsNothing();
};

void tst_StartPositionPanel::startState() {
    Fixture f;
    auto* page = f.find<QScrollBar>("HScroll2");
    auto* column = f.find<QScrollBar>("HScroll3");
    QCOMPARE(page->minimum(), 0);
    QCOMPARE(page->maximum(), 15);
    QCOMPARE(column->minimum(), 0);
    QCOMPARE(column->maximum(), 159);
    QCOMPARE(f.find<QLineEdit>("Text7")->text(), QStringLiteral("0"));
    QCOMPARE(f.find<QLineEdit>("Text6")->text(), QStringLiteral("0"));
    QVERIFY(f.find<QLineEdit>("Text7")->isReadOnly());
    QVERIFY(f.find<QLineEdit>("Text6")->isReadOnly());
    QCOMPARE(f.find<QPushButton>("Command7")->text(), QStringLiteral("OK"));
    QCOMPARE(f.find<QPushButton>("Command6")->text(), QStringLiteral("OK"));
}

void tst_StartPositionPanel::buttons_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("writes");
    QTest::newRow("page 15") << true << 15 << 0 << "Command7" << QByteArray("06 0F");
    QTest::newRow("page 0") << true << 0 << 100 << "Command7" << QByteArray("06 00");
    QTest::newRow("column 159") << true << 3 << 159 << "Command6" << QByteArray("12 9F");
    QTest::newRow("column 0") << true << 15 << 0 << "Command6" << QByteArray("12 00");
    QTest::newRow("column 100") << true << 0 << 100 << "Command6" << QByteArray("12 64");
    QTest::newRow("page, port closed") << false << 15 << 0 << "Command7" << QByteArray();
    QTest::newRow("column, port closed") << false << 0 << 159 << "Command6" << QByteArray();
}

void tst_StartPositionPanel::buttons() {
    QFETCH(bool, open);
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(QString, button);
    QFETCH(QByteArray, writes);
    Fixture f;
    f.port.setOpenForTest(open);
    f.find<QScrollBar>("HScroll2")->setValue(page);
    f.find<QScrollBar>("HScroll3")->setValue(column);
    // The mirror box is written by the program, never read: a stale text changes nothing.
    f.find<QLineEdit>("Text7")->setText(QStringLiteral("9"));
    f.find<QLineEdit>("Text6")->setText(QStringLiteral("99"));
    QTest::mouseClick(f.find<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
    COMPARE_HEX(f.port.writes, writesOf(writes.constData()));
    QVERIFY(f.dialogs.messages.isEmpty());
}

void tst_StartPositionPanel::movingSendsNothing() {
    Fixture f;
    auto* column = f.find<QScrollBar>("HScroll3");
    column->setValue(100);
    QCOMPARE(f.find<QLineEdit>("Text6")->text(), QStringLiteral("100"));
    QTest::keyClick(column, Qt::Key_Right);
    QCOMPARE(f.find<QLineEdit>("Text6")->text(), QStringLiteral("101"));
    auto* page = f.find<QScrollBar>("HScroll2");
    QTest::keyClick(page, Qt::Key_End);
    QCOMPARE(f.find<QLineEdit>("Text7")->text(), QStringLiteral("15"));
    COMPARE_HEX(f.port.writes, writesOf(""));
    f.find<QPushButton>("Command6")->click();
    f.find<QPushButton>("Command7")->click();
    COMPARE_HEX(f.port.writes, writesOf("12 65 | 06 0F"));
}

QTEST_MAIN(tst_StartPositionPanel)
#include "tst_startpositionpanel.moc"
