// The "Touch Screen" frame: the reporting-mode and calibration buttons, the confirmation of a
// new calibration, and the "Response" box.

#include "panels/touch/TouchPanel.h"
#include "support/HexCompare.h"
#include "support/PanelFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

class TestTouchPanel : public QObject {
    Q_OBJECT

private slots:
    void init();

    void buttonSendsItsMessage_data();
    void buttonSendsItsMessage();
    void newCalibration_data();
    void newCalibration();
    void showResponseReplacesTheText_data();
    void showResponseReplacesTheText();

private:
    QPushButton* button(const QString& name) const {
        return f->panel.findChild<QPushButton*>(name);
    }
    QLineEdit* response() const { return f->panel.findChild<QLineEdit*>(QStringLiteral("Text14")); }

    std::unique_ptr<PanelFixture<TouchPanel>> f;
};

void TestTouchPanel::init() {
    f = std::make_unique<PanelFixture<TouchPanel>>();
    f->panel.show();
}

void TestTouchPanel::buttonSendsItsMessage_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QByteArray>("expected");

    const struct {
        const char* control;
        const char* caption;
        const char* bytes;
    } buttons[] = {{"Command22", "4x4 Keypad w/Flip", "1C 02"},
                   {"Cmd4x4", "4x4 Keypad w/o Flip", "1C 01"},
                   {"CmdAnalog", "Coordinates", "05 01"},
                   {"CmdOFF", "OFF", "05 00"},
                   {"CmdRestor", "Restore Default", "1A 01"}};
    for (const auto& b : buttons) {
        QTest::addRow("%s open", b.control)
            << b.control << b.caption << true << QByteArray(b.bytes);
        QTest::addRow("%s closed", b.control) << b.control << b.caption << false << QByteArray();
    }
}

void TestTouchPanel::buttonSendsItsMessage() {
    QFETCH(QString, control);
    QFETCH(QString, caption);
    QFETCH(bool, open);
    QFETCH(QByteArray, expected);

    QPushButton* b = button(control);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    f->port.setOpenForTest(open);
    response()->setText(QStringLiteral("old"));
    QTest::mouseClick(b, Qt::LeftButton);
    COMPARE_HEX(f->port.writes, writesOf(expected.constData()));
    QVERIFY(f->dialogs.messages.isEmpty());
    QCOMPARE(response()->text(), QStringLiteral("old")); // no button touches the response
}

void TestTouchPanel::newCalibration_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("Yes") << true << int(Answer::Yes) << 1 << QByteArray("19 01");
    QTest::newRow("No") << true << int(Answer::No) << 1 << QByteArray("");
    QTest::newRow("closed: no box") << false << int(Answer::Yes) << 0 << QByteArray("");
}

void TestTouchPanel::newCalibration() {
    QFETCH(bool, open);
    QFETCH(int, answer);
    QFETCH(int, boxes);
    QFETCH(QByteArray, expected);

    f->port.setOpenForTest(open);
    f->dialogs.answers.enqueue(Answer(answer));
    QTest::mouseClick(button(QStringLiteral("CmdNewCal")), Qt::LeftButton);

    COMPARE_HEX(f->port.writes, writesOf(expected.constData()));
    QCOMPARE(f->dialogs.messages.size(), boxes);
    if (boxes) {
        const ShownMessage& box = f->dialogs.messages.first();
        QCOMPARE(box.text, QStringLiteral("This will change current Touch Screen calibration.\n"
                                          "Are you sure you want to proceed? "));
        QCOMPARE(int(box.style), 52);
        QCOMPARE(box.title, QStringLiteral("Warning"));
    }
}

void TestTouchPanel::showResponseReplacesTheText_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");

    QTest::newRow("longer then shorter") << "X=120 Y=64"
                                         << "K5";
    QTest::newRow("empty replaces") << "OK"
                                    << "";
    QTest::newRow("same twice") << "K1"
                                << "K1";
}

void TestTouchPanel::showResponseReplacesTheText() {
    QFETCH(QString, first);
    QFETCH(QString, second);

    QCOMPARE(response()->text(), QString());
    QVERIFY(response()->isReadOnly());
    f->panel.showResponse(first);
    QCOMPARE(response()->text(), first);
    f->panel.showResponse(second);
    QCOMPARE(response()->text(), second);
    QVERIFY(f->port.writes.isEmpty());
}

QTEST_MAIN(TestTouchPanel)
#include "tst_touchpanel.moc"
