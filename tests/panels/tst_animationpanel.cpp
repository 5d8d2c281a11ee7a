// The "Animation" frame: "Run" sends the three bars' values, "Stop" clears the whole screen.

#include "panels/animation/AnimationPanel.h"
#include "support/HexCompare.h"
#include "support/PanelFixture.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <memory>

class TestAnimationPanel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startState_data();
    void startState();
    void runSendsTheBars_data();
    void runSendsTheBars();
    void stopClearsTheScreen_data();
    void stopClearsTheScreen();

private:
    QScrollBar* bar(const char* name) const {
        return f->panel.findChild<QScrollBar*>(QString::fromLatin1(name));
    }
    QString mirrorText(const char* name) const {
        return f->panel.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    QPushButton* button(const char* name) const {
        return f->panel.findChild<QPushButton*>(QString::fromLatin1(name));
    }

    std::unique_ptr<PanelFixture<AnimationPanel>> f;
};

void TestAnimationPanel::init() {
    f = std::make_unique<PanelFixture<AnimationPanel>>();
    f->panel.show();
}

void TestAnimationPanel::cleanup() {
    QVERIFY(f->dialogs.messages.isEmpty());
    f.reset();
}

void TestAnimationPanel::startState_data() {
    QTest::addColumn<QString>("barName");
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("frameTitle");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");

    QTest::newRow("delay") << "HScroll5"
                           << "Text11"
                           << "Delay" << 3 << 100;
    QTest::newRow("start screen") << "HScroll6"
                                  << "Text12"
                                  << "Start Screen" << 1 << 202;
    QTest::newRow("stop screen") << "HScroll7"
                                 << "Text13"
                                 << "Stop Screen" << 2 << 203;
}

void TestAnimationPanel::startState() {
    QFETCH(QString, barName);
    QFETCH(QString, boxName);
    QFETCH(QString, frameTitle);
    QFETCH(int, minimum);
    QFETCH(int, maximum);

    auto* scroll = f->panel.findChild<QScrollBar*>(barName);
    auto* box = f->panel.findChild<QLineEdit*>(boxName);
    QVERIFY(scroll && box);
    QCOMPARE(scroll->minimum(), minimum);
    QCOMPARE(scroll->maximum(), maximum);
    QCOMPARE(scroll->value(), minimum);
    QCOMPARE(box->text(), QString::number(minimum));
    auto* frame = qobject_cast<QGroupBox*>(scroll->parentWidget());
    QVERIFY(frame);
    QCOMPARE(frame->title(), frameTitle);
    QCOMPARE(qobject_cast<QGroupBox*>(frame->parentWidget())->title(), QStringLiteral("Animation"));
}

void TestAnimationPanel::runSendsTheBars_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("stop");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("at start") << true << 3 << 1 << 2 << QByteArray("1B 03 01 02");
    QTest::newRow("all at maximum") << true << 100 << 202 << 203 << QByteArray("1B 64 CA CB");
    QTest::newRow("start after stop goes unchecked")
        << true << 50 << 202 << 2 << QByteArray("1B 32 CA 02");
    QTest::newRow("font screen as start") << true << 10 << 3 << 20 << QByteArray("1B 0A 03 14");
    QTest::newRow("closed") << false << 100 << 202 << 203 << QByteArray("");
}

void TestAnimationPanel::runSendsTheBars() {
    QFETCH(bool, open);
    QFETCH(int, delay);
    QFETCH(int, start);
    QFETCH(int, stop);
    QFETCH(QByteArray, expected);

    // Move each bar to its value with the keyboard, as a user would.
    const struct {
        const char* bar;
        const char* box;
        int value;
    } moves[] = {
        {"HScroll5", "Text11", delay}, {"HScroll6", "Text12", start}, {"HScroll7", "Text13", stop}};
    for (const auto& move : moves) {
        QScrollBar* scroll = bar(move.bar);
        if (move.value == scroll->maximum())
            QTest::keyClick(scroll, Qt::Key_End);
        while (scroll->value() < move.value)
            QTest::keyClick(scroll, Qt::Key_Right);
        QCOMPARE(scroll->value(), move.value);
        QCOMPARE(mirrorText(move.box), QString::number(move.value));
    }
    QVERIFY(f->port.writes.isEmpty());

    f->port.setOpenForTest(open);
    QTest::mouseClick(button("Command17"), Qt::LeftButton);
    COMPARE_HEX(f->port.writes, writesOf(expected.constData()));
    // Run again: a new message with the same values.
    QTest::mouseClick(button("Command17"), Qt::LeftButton);
    QCOMPARE(f->port.writes.size(), open ? 2 : 0);
}

void TestAnimationPanel::stopClearsTheScreen_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("runFirst");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("without a run") << true << false << QByteArray("01 10");
    QTest::newRow("after a run") << true << true << QByteArray("1B 03 01 02 | 01 10");
    QTest::newRow("closed") << false << true << QByteArray("");
}

void TestAnimationPanel::stopClearsTheScreen() {
    QFETCH(bool, open);
    QFETCH(bool, runFirst);
    QFETCH(QByteArray, expected);

    f->port.setOpenForTest(open);
    if (runFirst)
        QTest::mouseClick(button("Command17"), Qt::LeftButton);
    QTest::mouseClick(button("Command20"), Qt::LeftButton);
    COMPARE_HEX(f->port.writes, writesOf(expected.constData()));
}

QTEST_MAIN(TestAnimationPanel)
#include "tst_animationpanel.moc"
