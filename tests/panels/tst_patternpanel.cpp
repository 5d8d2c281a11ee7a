// The "Pattern" frame: the list's values against the PutPattern messages on the wire, and the
// box's key and paste filters.
#include "engine/BoardSession.h"
#include "panels/text/PatternPanel.h"
#include "support/FakeSerialPort.h"
#include "support/HexCompare.h"
#include "support/RecordingDialogs.h"

#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A port whose adapter is pulled after `limit` good writes; counts every attempt.
class FailingPort : public FakeSerialPort {
public:
    bool output(const QByteArray& bytes) override {
        ++attempts;
        if (writes.size() == limit) {
            loseDevice(QStringLiteral("adapter pulled"));
            return false;
        }
        return FakeSerialPort::output(bytes);
    }
    int limit = -1; // never
    int attempts = 0;
};

struct Fixture {
    Fixture() : panel(session, dialogs) { port.setOpenForTest(true); }
    QPlainTextEdit* box() const { return panel.findChild<QPlainTextEdit*>("txtString1"); }
    QPushButton* send() const { return panel.findChild<QPushButton*>("Command1"); }
    void setBox(const QString& text, bool cursorAtStart = false) {
        box()->setPlainText(text);
        box()->moveCursor(cursorAtStart ? QTextCursor::Start : QTextCursor::End);
    }
    bool toldIllegal() const {
        return dialogs.messages.size() == 1 &&
               dialogs.messages[0].text == QStringLiteral("Illegal Character") &&
               dialogs.messages[0].title == QStringLiteral("Error") &&
               dialogs.messages[0].style == MessageStyle::InformationOk;
    }
    FailingPort port;
    engine::BoardSession session{port};
    RecordingDialogs dialogs;
    PatternPanel panel;
};

} // namespace

class tst_PatternPanel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void send_data();
    void send();
    void sendFocusesTheBox();
    void lostPortStopsTheList();
    void hundredThousandValues();
    void keyFilter_data();
    void keyFilter();
    void paste_data();
    void paste();
    void drop();
};

void tst_PatternPanel::initTestCase() {
    Fixture f;
    QVERIFY(f.box());
    QVERIFY(f.send());
    QCOMPARE(f.send()->text(), QStringLiteral("Send"));
    QCOMPARE(f.box()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void tst_PatternPanel::send_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QByteArray>("writes");
    QTest::newRow("0,255") << true << "0,255" << QByteArray("03 00 | 03 FF");
    QTest::newRow("empty pieces") << true << "1,,2," << QByteArray("03 01 | 03 02");
    QTest::newRow("leading comma") << true << ",9" << QByteArray("03 09");
    QTest::newRow("300 skipped") << true << "300,5" << QByteArray("03 05");
    QTest::newRow("256 skipped") << true << "256" << QByteArray();
    QTest::newRow("blanks and leading zeros") << true << " 7 , 007" << QByteArray("03 07 | 03 07");
    QTest::newRow("line breaks as blanks") << true << "1\n,\n2\n" << QByteArray("03 01 | 03 02");
    QTest::newRow("minus sign") << true << "-1,5" << QByteArray("03 05");
    QTest::newRow("plus sign") << true << "+1,5" << QByteArray("03 05");
    QTest::newRow("no wrap 99999999999") << true << "99999999999,5" << QByteArray("03 05");
    QTest::newRow("no wrap 2^32+1") << true << "4294967297,5" << QByteArray("03 05");
    QTest::newRow("many leading zeros") << true << "0000000000000000255" << QByteArray("03 FF");
    QTest::newRow("blank between digits") << true << "1 2,3" << QByteArray("03 03");
    QTest::newRow("hex is no number") << true << "0x10,1" << QByteArray("03 01");
    QTest::newRow("fullwidth digit") << true << QStringLiteral("\uFF11,2") << QByteArray("03 02");
    QTest::newRow("only commas") << true << ",,," << QByteArray();
    QTest::newRow("empty box") << true << "" << QByteArray();
    QTest::newRow("port closed") << false << "0,255" << QByteArray();
}

void tst_PatternPanel::send() {
    QFETCH(bool, open);
    QFETCH(QString, list);
    QFETCH(QByteArray, writes);
    Fixture f;
    f.port.setOpenForTest(open);
    f.setBox(list);
    QTest::keyClick(f.send(), Qt::Key_Space);
    COMPARE_HEX(f.port.writes, writesOf(writes.constData()));
    QCOMPARE(f.box()->toPlainText(), QString());
    QVERIFY(f.dialogs.messages.isEmpty());
}

void tst_PatternPanel::sendFocusesTheBox() {
    Fixture f;
    f.panel.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.panel));
    f.send()->setFocus();
    QTRY_VERIFY(f.send()->hasFocus());
    f.setBox(QStringLiteral("1"));
    QTest::keyClick(f.send(), Qt::Key_Space);
    QTRY_VERIFY(f.box()->hasFocus());
    COMPARE_HEX(f.port.writes, writesOf("03 01"));
}

void tst_PatternPanel::lostPortStopsTheList() {
    Fixture f;
    f.port.limit = 2;
    f.setBox(QStringLiteral("1,2,3,4"));
    f.send()->click();
    COMPARE_HEX(f.port.writes, writesOf("03 01 | 03 02"));
    QCOMPARE(f.port.attempts, 3);
    QCOMPARE(f.box()->toPlainText(), QString());
    QVERIFY(f.dialogs.messages.isEmpty());
}

void tst_PatternPanel::hundredThousandValues() {
    constexpr int kCount = 100000;
    Fixture f;
    QStringList values;
    values.reserve(kCount);
    for (int i = 0; i < kCount; ++i)
        values << QString::number((i * 7) % 256);
    f.setBox(values.join(u','));
    f.send()->click();
    QCOMPARE(f.port.writes.size(), qsizetype(kCount));
    for (int i = 0; i < kCount; ++i) {
        const QByteArray expected = QByteArray(1, char(0x03)).append(char((i * 7) % 256));
        if (f.port.writes[i] != expected) {
            qWarning("first wrong write at %d", i);
            COMPARE_HEX(f.port.writes[i], expected);
        }
    }
    QCOMPARE(f.box()->toPlainText(), QString());
}

void tst_PatternPanel::keyFilter_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("cursorAtStart");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("refused");
    // The box holds "12" before each key. Texts as X11 delivers them.
    QTest::newRow("digit") << int(Qt::Key_7) << 0 << "7" << false << "127" << false;
    QTest::newRow("keypad digit") << int(Qt::Key_0) << int(Qt::KeypadModifier) << "0" << false
                                  << "120" << false;
    QTest::newRow("comma") << int(Qt::Key_Comma) << 0 << "," << false << "12," << false;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << "\b" << false << "1" << false;
    QTest::newRow("letter") << int(Qt::Key_A) << 0 << "a" << false << "12" << true;
    QTest::newRow("blank") << int(Qt::Key_Space) << 0 << " " << false << "12" << true;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << "\r" << false << "12" << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r" << false
                                  << "12" << true;
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << "\r" << false
                                 << "12" << true;
    QTest::newRow("minus") << int(Qt::Key_Minus) << 0 << "-" << false << "12" << true;
    QTest::newRow("semicolon") << int(Qt::Key_Semicolon) << 0 << ";" << false << "12" << true;
    QTest::newRow("fullwidth digit")
        << 0xFF11 << 0 << QStringLiteral("\uFF11") << false << "12" << true;
    QTest::newRow("e acute") << 0xC9 << 0 << QStringLiteral("\u00E9") << false << "12" << true;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << "\x7f" << true << "2" << false;
    QTest::newRow("Left") << int(Qt::Key_Left) << 0 << "" << false << "12" << false;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << "\x1b" << false << "12" << true;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier) << "\r" << false
                                << "12" << true;
    QTest::newRow("Ctrl+B") << int(Qt::Key_B) << int(Qt::ControlModifier) << "\x02" << false << "12"
                            << true;
    QTest::newRow("Ctrl+[") << int(Qt::Key_BracketLeft) << int(Qt::ControlModifier) << "\x1b"
                            << false << "12" << true;
    // The box's editing shortcuts and Ctrl chords without a character are no typed characters.
    QTest::newRow("Ctrl+A") << int(Qt::Key_A) << int(Qt::ControlModifier) << "\x01" << false << "12"
                            << false;
    QTest::newRow("Ctrl+Backspace")
        << int(Qt::Key_Backspace) << int(Qt::ControlModifier) << "\b" << false << "" << false;
    QTest::newRow("Ctrl+1") << int(Qt::Key_1) << int(Qt::ControlModifier) << "1" << false << "12"
                            << false;
}

void tst_PatternPanel::keyFilter() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, cursorAtStart);
    QFETCH(QString, after);
    QFETCH(bool, refused);
    Fixture f;
    f.setBox(QStringLiteral("12"), cursorAtStart);
    QTest::sendKeyEvent(QTest::Click, f.box(), Qt::Key(key), text,
                        Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.box()->toPlainText(), after);
    if (refused)
        QVERIFY(f.toldIllegal());
    else
        QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(f.port.writes.isEmpty());
}

void tst_PatternPanel::paste_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("shiftInsert");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("refused");
    // The box holds "9," with the cursor at its end before each paste.
    QTest::newRow("digits and commas") << "1,2,3" << false << "9,1,2,3" << false;
    QTest::newRow("blanks and line breaks") << " 4 ,\n5\n" << false << "9, 4 ,\n5\n" << false;
    QTest::newRow("Shift+Insert") << "255" << true << "9,255" << false;
    QTest::newRow("letter") << "1,a,2" << false << "9," << true;
    QTest::newRow("minus") << "-1" << false << "9," << true;
    QTest::newRow("semicolons") << "1;2" << true << "9," << true;
    QTest::newRow("euro sign") << QStringLiteral("\u20AC") << false << "9," << true;
    QTest::newRow("fullwidth digit") << QStringLiteral("\uFF11") << false << "9," << true;
}

void tst_PatternPanel::paste() {
    QFETCH(QString, clipboard);
    QFETCH(bool, shiftInsert);
    QFETCH(QString, after);
    QFETCH(bool, refused);
    Fixture f;
    f.setBox(QStringLiteral("9,"));
    QGuiApplication::clipboard()->setText(clipboard);
    if (shiftInsert)
        QTest::keyClick(f.box(), Qt::Key_Insert, Qt::ShiftModifier);
    else
        QTest::keyClick(f.box(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.box()->toPlainText(), after);
    if (refused)
        QVERIFY(f.toldIllegal());
    else
        QVERIFY(f.dialogs.messages.isEmpty());
}

void tst_PatternPanel::drop() {
    for (const QString& dropped : {QStringLiteral("x"), QStringLiteral("4,5")}) {
        Fixture f;
        f.setBox(QStringLiteral("9,"));
        QMimeData data;
        data.setText(dropped);
        QWidget* viewport = f.box()->viewport();
        const QPoint at = viewport->rect().bottomRight() - QPoint(2, 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        if (dropped == QStringLiteral("x")) {
            QCOMPARE(f.box()->toPlainText(), QStringLiteral("9,"));
            QVERIFY(f.toldIllegal());
        } else {
            QCOMPARE(f.box()->toPlainText(), QStringLiteral("9,4,5"));
            QVERIFY(f.dialogs.messages.isEmpty());
        }
    }
}

QTEST_MAIN(tst_PatternPanel)
#include "tst_patternpanel.moc"
