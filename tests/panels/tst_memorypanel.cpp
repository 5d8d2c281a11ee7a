// The "Memory" frame: load at once, save after Yes, screens 1..4 only once unlocked.
#include "panels/memory/MemoryPanel.h"
#include "support/FakeSerialPort.h"
#include "support/HexCompare.h"
#include "support/PanelFixture.h"
#include "support/RecordingDialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

namespace {

struct Fixture : PanelFixture<MemoryPanel> {
    QScrollBar* bar() const { return find<QScrollBar>("HScroll4"); }
    QString mirror() const { return find<QLineEdit>("Text10")->text(); }
};

const QString kWarning = QStringLiteral(
    "Screens 1-4 are used for fonts storage. Are you sure you want to replace screen # %1? ");
const QString kConfirmation = QStringLiteral("Are you sure you want to save to screen # %1? ");

} // namespace

class tst_MemoryPanel : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void ok_data();
    void ok();
    void lockedBarStopsAtFive();
    void unlock();
    void portLostWhileAsking();
};

void tst_MemoryPanel::startState() {
    Fixture f;
    QCOMPARE(f.bar()->minimum(), 5);
    QCOMPARE(f.bar()->maximum(), 203);
    QCOMPARE(f.bar()->value(), 5);
    QCOMPARE(f.mirror(), QStringLiteral("5"));
    QVERIFY(f.find<QRadioButton>("optLoad")->isChecked());
    QCOMPARE(f.find<QRadioButton>("optLoad")->toolTip(), QStringLiteral("Load from the memory"));
    QCOMPARE(f.find<QRadioButton>("optSave")->text(), QStringLiteral("Save As"));
    QCOMPARE(f.find<QRadioButton>("optSave")->toolTip(), QStringLiteral("Save to the memory"));
    QCOMPARE(f.find<QPushButton>("cmdOk")->text(), QStringLiteral("OK"));
}

void tst_MemoryPanel::ok_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("unlocked");
    QTest::addColumn<int>("screen"); // 0: leave the bar where it is
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QByteArray>("writes");
    QTest::addColumn<QString>("text"); // empty: no box
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("style");

    const int question = int(MessageStyle::QuestionYesNo);
    const int exclamation = int(MessageStyle::ExclamationYesNo);
    QTest::newRow("load at start")
        << true << false << 0 << false << true << QByteArray("08 05") << ""
        << "" << 0;
    QTest::newRow("load 20") << true << false << 20 << false << true << QByteArray("08 14") << ""
                             << "" << 0;
    QTest::newRow("save 5 yes") << true << false << 0 << true << true << QByteArray("11 05")
                                << kConfirmation.arg(5) << "Confirmation" << question;
    QTest::newRow("save 5 no") << true << false << 0 << true << false << QByteArray()
                               << kConfirmation.arg(5) << "Confirmation" << question;
    QTest::newRow("save 203 yes") << true << false << 203 << true << true << QByteArray("11 CB")
                                  << kConfirmation.arg(203) << "Confirmation" << question;
    QTest::newRow("unlocked save 1 yes") << true << true << 0 << true << true << QByteArray("11 01")
                                         << kWarning.arg(1) << "Warning" << exclamation;
    QTest::newRow("unlocked save 1 no") << true << true << 0 << true << false << QByteArray()
                                        << kWarning.arg(1) << "Warning" << exclamation;
    QTest::newRow("unlocked save 4 yes") << true << true << 4 << true << true << QByteArray("11 04")
                                         << kWarning.arg(4) << "Warning" << exclamation;
    QTest::newRow("unlocked save 5 asks the usual question")
        << true << true << 5 << true << true << QByteArray("11 05") << kConfirmation.arg(5)
        << "Confirmation" << question;
    QTest::newRow("unlocked load 1")
        << true << true << 0 << false << true << QByteArray("08 01") << ""
        << "" << 0;
    QTest::newRow("closed load") << false << false << 0 << false << true << QByteArray() << ""
                                 << "" << 0;
    QTest::newRow("closed save") << false << false << 0 << true << true << QByteArray() << ""
                                 << "" << 0;
    QTest::newRow("closed unlocked save 1")
        << false << true << 0 << true << true << QByteArray() << ""
        << "" << 0;
}

void tst_MemoryPanel::ok() {
    QFETCH(bool, open);
    QFETCH(bool, unlocked);
    QFETCH(int, screen);
    QFETCH(bool, save);
    QFETCH(bool, yes);
    QFETCH(QByteArray, writes);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(int, style);

    Fixture f;
    f.port.setOpenForTest(open);
    if (unlocked)
        f.panel.unlockFontScreens();
    if (screen) {
        f.bar()->setValue(screen);
        QCOMPARE(f.mirror(), QString::number(screen));
    }
    if (save)
        f.find<QRadioButton>("optSave")->click();
    f.dialogs.answers.enqueue(yes ? Answer::Yes : Answer::No);
    QTest::keyClick(f.find<QPushButton>("cmdOk"), Qt::Key_Space);

    COMPARE_HEX(f.port.writes, writesOf(writes.constData()));
    if (text.isEmpty()) {
        QVERIFY(f.dialogs.messages.isEmpty());
    } else {
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].text, text);
        QCOMPARE(f.dialogs.messages[0].title, title);
        QCOMPARE(int(f.dialogs.messages[0].style), style);
    }
}

void tst_MemoryPanel::lockedBarStopsAtFive() {
    Fixture f;
    f.bar()->setValue(1);
    QCOMPARE(f.bar()->value(), 5);
    QTest::keyClick(f.bar(), Qt::Key_Left);
    QCOMPARE(f.bar()->value(), 5);
    QCOMPARE(f.mirror(), QStringLiteral("5"));
    QTest::keyClick(f.bar(), Qt::Key_Right);
    QCOMPARE(f.mirror(), QStringLiteral("6"));
}

void tst_MemoryPanel::unlock() {
    Fixture f;
    f.bar()->setValue(50);
    f.panel.unlockFontScreens();
    QCOMPARE(f.bar()->minimum(), 1);
    QCOMPARE(f.bar()->maximum(), 203);
    QCOMPARE(f.bar()->value(), 1);
    QCOMPARE(f.mirror(), QStringLiteral("1"));
    // A second gesture does nothing more than select screen 1 again.
    f.bar()->setValue(50);
    f.panel.unlockFontScreens();
    QCOMPARE(f.bar()->minimum(), 1);
    QCOMPARE(f.bar()->maximum(), 203);
    QCOMPARE(f.bar()->value(), 1);
    QCOMPARE(f.mirror(), QStringLiteral("1"));
    QVERIFY(f.port.writes.isEmpty());
}

void tst_MemoryPanel::portLostWhileAsking() {
    Fixture f;
    f.find<QRadioButton>("optSave")->click();
    f.dialogs.whileShown = [&] { f.port.loseDevice(QStringLiteral("adapter pulled")); };
    f.find<QPushButton>("cmdOk")->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    COMPARE_HEX(f.port.writes, writesOf(""));
}

QTEST_MAIN(tst_MemoryPanel)
#include "tst_memorypanel.moc"
