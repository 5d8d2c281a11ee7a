// The "Text" page's typing area and font choice against the bytes on the wire, driven by real
// key and input-method events.
#include "panels/text/TextPanel.h"
#include "support/FakeSerialPort.h"
#include "support/HexCompare.h"
#include "support/KeyInput.h"
#include "support/PanelFixture.h"
#include "support/RecordingDialogs.h"

#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

namespace {

const QString kAlertText = QStringLiteral("You reached the buffer limit of 45 characters.");
const QString kNotSentTitle = QStringLiteral("Character not sent");

void commit(QWidget* box, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

// The writes of n letters 'x': in String mode 26 78 then 78 alone, else 02 78 each.
QByteArray stringOfX(int n) {
    QByteArray hex;
    for (int i = 0; i < n; ++i)
        hex += i == 0 ? "26 78" : " | 78";
    return hex;
}

QByteArray charsOfX(int n) {
    QByteArray hex;
    for (int i = 0; i < n; ++i)
        hex += i == 0 ? "02 78" : " | 02 78";
    return hex;
}

int countTitled(const RecordingDialogs& dialogs, const QString& title) {
    int n = 0;
    for (const ShownMessage& m : dialogs.messages)
        n += m.title == title;
    return n;
}

struct Fixture : PanelFixture<TextPanel> {
    QPlainTextEdit* box() const { return find<QPlainTextEdit>("Text2"); }
    QRadioButton* option(const char* name) const { return find<QRadioButton>(name); }
};

} // namespace

class tst_TextPanel : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void keys_data();
    void keys();
    void keysThatTypeNothing_data();
    void keysThatTypeNothing();
    void controlKeys_data();
    void controlKeys();
    void inputMethod_data();
    void inputMethod();
    void bufferLimitBoxComesAfterTheKey();
    void closedPortLeavesCountAlone();
    void modeSwitchKeepsString();
    void failedWriteIsNotCounted();
    void fonts_data();
    void fonts();
};

void tst_TextPanel::startState() {
    Fixture f;
    QVERIFY(f.option("Option1")->isChecked());
    QVERIFY(f.option("optChar")->isChecked());
    QVERIFY(!f.option("optString")->isChecked());
    QCOMPARE(f.option("Option3")->text(), QStringLiteral("14 Pix Bold"));
    QVERIFY(f.box()->toPlainText().isEmpty());
    QCOMPARE(f.box()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(f.panel.stringCharacterCount(), 0);
    QVERIFY(f.port.writes.isEmpty());
}

void tst_TextPanel::keys_data() {
    QTest::addColumn<bool>("stringMode");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QByteArray>("writes");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("alerts");
    QTest::addColumn<int>("notSent");
    QTest::addColumn<QString>("boxText");

    const QString x44(44, u'x');
    QTest::newRow("char H i Enter")
        << false << "Hi\r" << QByteArray("02 48 | 02 69 | 02 0D") << 0 << 0 << 0 << "Hi\n";
    QTest::newRow("string H i Enter")
        << true << "Hi\r" << QByteArray("26 48 | 69 | 0D") << 0 << 0 << 0 << "Hi\n";
    QTest::newRow("string Enter first")
        << true << "\r" << QByteArray("26 0D") << 0 << 0 << 0 << "\n";
    QTest::newRow("string Backspace counts")
        << true << "ab\b" << QByteArray("26 61 | 62 | 08") << 3 << 0 << 0 << "a";
    QTest::newRow("char Backspace")
        << false << "a\b" << QByteArray("02 61 | 02 08") << 0 << 0 << 0 << "";
    QTest::newRow("char Ctrl+B") << false << "\x02" << QByteArray("02 02") << 0 << 0 << 0 << "";
    QTest::newRow("string Ctrl+Z counts")
        << true << "\x1a" << QByteArray("26 1A") << 1 << 0 << 0 << "";
    QTest::newRow("char blank") << false << " " << QByteArray("02 20") << 0 << 0 << 0 << " ";
    QTest::newRow("char e acute") << false << QString(QChar(0xE9)) << QByteArray("02 E9") << 0 << 0
                                  << 0 << QString(QChar(0xE9));
    QTest::newRow("char y diaeresis") << false << QString(QChar(0xFF)) << QByteArray("02 FF") << 0
                                      << 0 << 0 << QString(QChar(0xFF));
    QTest::newRow("char no-break space")
        << false << QString(QChar(0xA0)) << QByteArray("02 A0") << 0 << 0 << 0 << " ";
    QTest::newRow("char euro sign")
        << false << QString(QChar(0x20AC)) << QByteArray() << 0 << 0 << 1 << QString(QChar(0x20AC));
    QTest::newRow("char CJK") << false << QString(QChar(0x4E2D)) << QByteArray() << 0 << 0 << 1
                              << QString(QChar(0x4E2D));
    QTest::newRow("char emoji") << false << QStringLiteral("\U0001F600") << QByteArray() << 0 << 0
                                << 1 << QStringLiteral("\U0001F600");
    QTest::newRow("string euro is not counted")
        << true << QStringLiteral("a\u20ACb") << QByteArray("26 61 | 62") << 2 << 0 << 1
        << QStringLiteral("a\u20ACb");
    QTest::newRow("string euro first, then a string")
        << true << QStringLiteral("\u20ACa") << QByteArray("26 61") << 1 << 0 << 1
        << QStringLiteral("\u20ACa");
    QTest::newRow("string 44 keys and Enter")
        << true << x44 + u'\r' << stringOfX(44) + " | 0D" << 0 << 0 << 0 << x44 + u'\n';
    QTest::newRow("string 45 keys")
        << true << QString(45, u'x') << stringOfX(45) << 0 << 1 << 0 << QString(45, u'x');
    QTest::newRow("string 46th key begins a new string")
        << true << QString(46, u'x') << stringOfX(45) + " | 26 78" << 1 << 1 << 0
        << QString(46, u'x');
    QTest::newRow("string 44 keys and Backspace reach the limit")
        << true << x44 + u'\b' << stringOfX(44) + " | 08" << 0 << 1 << 0 << QString(43, u'x');
    QTest::newRow("char 45 keys never alert")
        << false << QString(45, u'x') << charsOfX(45) << 0 << 0 << 0 << QString(45, u'x');
}

void tst_TextPanel::keys() {
    QFETCH(bool, stringMode);
    QFETCH(QString, keys);
    QFETCH(QByteArray, writes);
    QFETCH(int, count);
    QFETCH(int, alerts);
    QFETCH(int, notSent);
    QFETCH(QString, boxText);

    Fixture f;
    f.option(stringMode ? "optString" : "optChar")->click();
    typeKeys(f.box(), keys);

    COMPARE_HEX(f.port.writes, writesOf(writes.constData()));
    QCOMPARE(f.panel.stringCharacterCount(), count);
    QCOMPARE(countTitled(f.dialogs, QStringLiteral("Alert")), alerts);
    QCOMPARE(countTitled(f.dialogs, kNotSentTitle), notSent);
    QCOMPARE(f.dialogs.messages.size(), alerts + notSent);
    for (const ShownMessage& m : f.dialogs.messages) {
        QCOMPARE(m.style, MessageStyle::InformationOk);
        if (m.title == QStringLiteral("Alert"))
            QCOMPARE(m.text, kAlertText);
        else
            QVERIFY2(m.text.contains(QStringLiteral("ISO 8859-1")), qPrintable(m.text));
    }
    // Every key still takes its normal effect in the box.
    QCOMPARE(f.box()->toPlainText(), boxText);
}

void tst_TextPanel::keysThatTypeNothing_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    // Texts as X11 delivers them.
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << QStringLiteral("\x7f");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << QStringLiteral("\x1b");
    QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << QStringLiteral("\t");
    QTest::newRow("Left") << int(Qt::Key_Left) << 0 << QString();
    QTest::newRow("Home") << int(Qt::Key_Home) << 0 << QString();
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << 0 << QString();
    QTest::newRow("Ctrl+1") << int(Qt::Key_1) << int(Qt::ControlModifier) << QStringLiteral("1");
    QTest::newRow("dead key") << int(Qt::Key_Dead_Acute) << 0 << QString();
}

void tst_TextPanel::keysThatTypeNothing() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    for (const char* mode : {"optChar", "optString"}) {
        Fixture f;
        f.option(mode)->click();
        QTest::sendKeyEvent(QTest::Click, f.box(), Qt::Key(key), text,
                            Qt::KeyboardModifiers(modifiers));
        COMPARE_HEX(f.port.writes, writesOf(""));
        QCOMPARE(f.panel.stringCharacterCount(), 0);
        QVERIFY(f.dialogs.messages.isEmpty());
    }
}

void tst_TextPanel::controlKeys_data() {
    QTest::addColumn<bool>("stringMode");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("writes");
    QTest::addColumn<int>("count");
    // Each key is followed by the letter a. Texts as X11 delivers them with a US layout.
    const int ctrl = int(Qt::ControlModifier);
    const int ctrlShift = int(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("Ctrl+[") << false << int(Qt::Key_BracketLeft) << ctrl << "\x1b"
                            << QByteArray("02 1B | 02 61") << 0;
    QTest::newRow("Ctrl+\\") << false << int(Qt::Key_Backslash) << ctrl << "\x1c"
                             << QByteArray("02 1C | 02 61") << 0;
    QTest::newRow("Ctrl+]") << false << int(Qt::Key_BracketRight) << ctrl << "\x1d"
                            << QByteArray("02 1D | 02 61") << 0;
    QTest::newRow("Ctrl+Shift+6 (^)") << false << int(Qt::Key_AsciiCircum) << ctrlShift << "\x1e"
                                      << QByteArray("02 1E | 02 61") << 0;
    QTest::newRow("Ctrl+Shift+- (_)") << false << int(Qt::Key_Underscore) << ctrlShift << "\x1f"
                                      << QByteArray("02 1F | 02 61") << 0;
    QTest::newRow("Ctrl+Enter") << false << int(Qt::Key_Return) << ctrl << "\r"
                                << QByteArray("02 0A | 02 61") << 0;
    QTest::newRow("Ctrl+keypad Enter")
        << false << int(Qt::Key_Enter) << int(Qt::ControlModifier | Qt::KeypadModifier) << "\r"
        << QByteArray("02 0A | 02 61") << 0;
    QTest::newRow("Ctrl+Backspace")
        << false << int(Qt::Key_Backspace) << ctrl << "\b" << QByteArray("02 7F | 02 61") << 0;
    QTest::newRow("string Ctrl+Enter does not end the string")
        << true << int(Qt::Key_Return) << ctrl << "\r" << QByteArray("26 0A | 61") << 2;
    QTest::newRow("string Ctrl+[ counts")
        << true << int(Qt::Key_BracketLeft) << ctrl << "\x1b" << QByteArray("26 1B | 61") << 2;
    QTest::newRow("Shift+Enter is Enter") << true << int(Qt::Key_Return) << int(Qt::ShiftModifier)
                                          << "\r" << QByteArray("26 0D | 26 61") << 1;
    QTest::newRow("AltGr+8 types [")
        << false << int(Qt::Key_BracketLeft) << int(Qt::ControlModifier | Qt::AltModifier) << "["
        << QByteArray("02 5B | 02 61") << 0;
    QTest::newRow("Ctrl+Shift+[ ({) is no character")
        << false << int(Qt::Key_BraceLeft) << ctrlShift << "\x1b" << QByteArray("02 61") << 0;
    QTest::newRow("Ctrl+6 is no character")
        << false << int(Qt::Key_6) << ctrl << "6" << QByteArray("02 61") << 0;
}

void tst_TextPanel::controlKeys() {
    QFETCH(bool, stringMode);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QByteArray, writes);
    QFETCH(int, count);
    Fixture f;
    f.option(stringMode ? "optString" : "optChar")->click();
    QTest::sendKeyEvent(QTest::Click, f.box(), Qt::Key(key), text,
                        Qt::KeyboardModifiers(modifiers));
    typeKeys(f.box(), QStringLiteral("a"));
    COMPARE_HEX(f.port.writes, writesOf(writes.constData()));
    QCOMPARE(f.panel.stringCharacterCount(), count);
    QVERIFY(f.dialogs.messages.isEmpty());
}

void tst_TextPanel::inputMethod_data() {
    QTest::addColumn<bool>("stringMode");
    QTest::addColumn<QString>("commitText");
    QTest::addColumn<QByteArray>("writes");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("dead key e acute")
        << false << QStringLiteral("\u00E9") << QByteArray("02 E9") << QStringList();
    QTest::newRow("combining accent is composed")
        << false << QStringLiteral("e\u0301") << QByteArray("02 E9") << QStringList();
    QTest::newRow("euro via compose")
        << false << QStringLiteral("\u20AC") << QByteArray()
        << QStringList{QStringLiteral("\"\u20AC\" (U+20AC) was not sent: the board takes only "
                                      "ISO 8859-1 (Latin-1) characters.")};
    QTest::newRow("two CJK characters, told once")
        << true << QStringLiteral("\u4F60\u597D") << QByteArray()
        << QStringList{QStringLiteral("\"\u4F60\" (U+4F60), \"\u597D\" (U+597D) were not sent: "
                                      "the board takes only ISO 8859-1 (Latin-1) characters.")};
    QTest::newRow("mixed commit sends what it can")
        << true << QStringLiteral("a\u20ACb") << QByteArray("26 61 | 62")
        << QStringList{QStringLiteral("\"\u20AC\" (U+20AC) was not sent: the board takes only "
                                      "ISO 8859-1 (Latin-1) characters.")};
    QTest::newRow("lone combining mark named by code")
        << false << QStringLiteral("q\u0301") << QByteArray("02 71")
        << QStringList{QStringLiteral("U+0301 was not sent: the board takes only ISO 8859-1 "
                                      "(Latin-1) characters.")};
    QTest::newRow("pre-edit only") << false << QString() << QByteArray() << QStringList();
}

void tst_TextPanel::inputMethod() {
    QFETCH(bool, stringMode);
    QFETCH(QString, commitText);
    QFETCH(QByteArray, writes);
    QFETCH(QStringList, messages);

    Fixture f;
    f.option(stringMode ? "optString" : "optChar")->click();
    commit(f.box(), commitText);
    COMPARE_HEX(f.port.writes, writesOf(writes.constData()));
    QStringList shown;
    for (const ShownMessage& m : f.dialogs.messages) {
        shown << m.text;
        QCOMPARE(m.title, kNotSentTitle);
        QCOMPARE(m.style, MessageStyle::InformationOk);
    }
    QCOMPARE(shown, messages);
}

void tst_TextPanel::bufferLimitBoxComesAfterTheKey() {
    Fixture f;
    f.option("optString")->click();
    qsizetype writesWhenShown = -1;
    f.dialogs.whileShown = [&] { writesWhenShown = f.port.writes.size(); };
    typeKeys(f.box(), QString(45, u'k'));
    QCOMPARE(writesWhenShown, qsizetype(45));
    COMPARE_HEX(f.port.writes.last(), bytesOf("6B"));
    typeKeys(f.box(), QStringLiteral("k"));
    COMPARE_HEX(f.port.writes.last(), bytesOf("26 6B"));
}

void tst_TextPanel::closedPortLeavesCountAlone() {
    Fixture f;
    f.port.setOpenForTest(false);
    f.option("optString")->click();
    typeKeys(f.box(), QStringLiteral("Hi\u20AC"));
    COMPARE_HEX(f.port.writes, writesOf(""));
    QCOMPARE(f.panel.stringCharacterCount(), 0);
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(f.box()->toPlainText(), QStringLiteral("Hi\u20AC"));

    f.port.setOpenForTest(true);
    typeKeys(f.box(), QStringLiteral("k"));
    COMPARE_HEX(f.port.writes, writesOf("26 6B"));
}

void tst_TextPanel::modeSwitchKeepsString() {
    Fixture f;
    f.option("optString")->click();
    typeKeys(f.box(), QStringLiteral("ab"));
    f.option("optChar")->click();
    typeKeys(f.box(), QStringLiteral("c"));
    QCOMPARE(f.panel.stringCharacterCount(), 2);
    f.option("optString")->click();
    typeKeys(f.box(), QStringLiteral("d\r"));
    COMPARE_HEX(f.port.writes, writesOf("26 61 | 62 | 02 63 | 64 | 0D"));
    QCOMPARE(f.panel.stringCharacterCount(), 0);
}

void tst_TextPanel::failedWriteIsNotCounted() {
    Fixture f;
    f.option("optString")->click();
    typeKeys(f.box(), QStringLiteral("H"));
    f.port.failWrites(QStringLiteral("adapter pulled"));
    typeKeys(f.box(), QStringLiteral("i"));
    COMPARE_HEX(f.port.writes, writesOf("26 48"));
    QCOMPARE(f.panel.stringCharacterCount(), 1);
    QVERIFY(!f.port.portOpen());
}

void tst_TextPanel::fonts_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QByteArray>("writes");
    QTest::newRow("14 Pix Bold then 7 Pix")
        << true << QStringList{"Option3", "Option1"} << QByteArray("15 03 | 15 01");
    QTest::newRow("every font") << true << QStringList{"Option2", "Option3", "Option4", "Option1"}
                                << QByteArray("15 02 | 15 03 | 15 04 | 15 01");
    QTest::newRow("selected font again sends nothing")
        << true << QStringList{"Option1", "Option4", "Option4"} << QByteArray("15 04");
    QTest::newRow("mode options send nothing")
        << true << QStringList{"optString", "optChar"} << QByteArray();
    QTest::newRow("port closed") << false << QStringList{"Option3", "Option2"} << QByteArray();
}

void tst_TextPanel::fonts() {
    QFETCH(bool, open);
    QFETCH(QStringList, clicks);
    QFETCH(QByteArray, writes);
    Fixture f;
    f.port.setOpenForTest(open);
    for (const QString& name : clicks)
        f.option(name.toLatin1().constData())->click();
    COMPARE_HEX(f.port.writes, writesOf(writes.constData()));
    QVERIFY(f.option(clicks.last().toLatin1().constData())->isChecked());
    QVERIFY(f.dialogs.messages.isEmpty());
}

QTEST_MAIN(tst_TextPanel)
#include "tst_textpanel.moc"
