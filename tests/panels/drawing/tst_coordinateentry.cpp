// What a coordinate field's text turns into, and which key presses count as typed characters.
#include "panels/drawing/ByteFieldParser.h"
#include "panels/drawing/CoordinateKeyFilter.h"

#include <QKeyEvent>
#include <QTest>

class tst_CoordinateEntry : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void characterCode_data();
    void characterCode();
};

void tst_CoordinateEntry::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // -1: refused
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("255") << "255" << 255;
    QTest::newRow("leading zeros 007") << "007" << 7;
    QTest::newRow("blanks round 007") << " 007 " << 7;
    QTest::newRow("tab before") << "\t12" << 12;
    QTest::newRow("many leading zeros") << "000000000000000000000000042" << 42;
    QTest::newRow("after a reset 05") << "05" << 5;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("blank") << " " << -1;
    QTest::newRow("minus one") << "-1" << -1;
    QTest::newRow("minus zero") << "-0" << -1;
    QTest::newRow("plus five") << "+5" << -1;
    QTest::newRow("fraction") << "1.5" << -1;
    QTest::newRow("decimal comma") << "1,5" << -1;
    QTest::newRow("comma after 0") << "0," << -1;
    QTest::newRow("256") << "256" << -1;
    QTest::newRow("1000 with leading zeros") << "0001000" << -1;
    QTest::newRow("2^32 would wrap to 0") << "4294967296" << -1;
    QTest::newRow("2^32 + 7 would wrap to 7") << "4294967303" << -1;
    QTest::newRow("twenty digits") << "99999999999999999999" << -1;
    QTest::newRow("blank inside") << "1 2" << -1;
    QTest::newRow("letters after") << "12a" << -1;
    QTest::newRow("hex") << "0x10" << -1;
    QTest::newRow("exponent") << "1e2" << -1;
    QTest::newRow("Arabic-Indic three") << QString(QChar(0x0663)) << -1;
    QTest::newRow("fullwidth seven") << QString(QChar(0xFF17)) << -1;
}

void tst_CoordinateEntry::parse() {
    QFETCH(QString, text);
    QFETCH(int, value);
    const std::optional<std::uint8_t> parsed = ByteFieldParser::parse(text);
    QCOMPARE(parsed.has_value() ? int(*parsed) : -1, value);
}

void tst_CoordinateEntry::characterCode_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code"); // -1: types nothing, not filtered
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("digit 5") << int(Qt::Key_5) << none << "5" << int('5');
    QTest::newRow("keypad 7") << int(Qt::Key_7) << int(Qt::KeypadModifier) << "7" << int('7');
    QTest::newRow("letter a") << int(Qt::Key_A) << none << "a" << int('a');
    QTest::newRow("shifted A") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << int('A');
    QTest::newRow("blank") << int(Qt::Key_Space) << none << " " << 32;
    QTest::newRow("comma") << int(Qt::Key_Comma) << none << "," << 44;
    QTest::newRow("e acute") << int(Qt::Key_Eacute) << none << "\u00e9" << 0xE9;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b" << 8;
    QTest::newRow("Return") << int(Qt::Key_Return) << none << "\r" << 13;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r" << 13;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << "\x1b" << 27;
    QTest::newRow("Ctrl+C as X11 sends it") << int(Qt::Key_C) << ctrl << "\x03" << 3;
    QTest::newRow("Ctrl+C with plain text") << int(Qt::Key_C) << ctrl << "c" << 3;
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << "\x16" << 22;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << "\x18" << 24;
    QTest::newRow("Ctrl+Shift+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                  << "\x1a" << 26;
    QTest::newRow("Ctrl+1 types nothing") << int(Qt::Key_1) << ctrl << "1" << -1;
    QTest::newRow("Delete with DEL text") << int(Qt::Key_Delete) << none << "\x7f" << -1;
    QTest::newRow("Delete without text") << int(Qt::Key_Delete) << none << "" << -1;
    QTest::newRow("Left") << int(Qt::Key_Left) << none << "" << -1;
    QTest::newRow("F2") << int(Qt::Key_F2) << none << "" << -1;
    QTest::newRow("Tab moves on") << int(Qt::Key_Tab) << none << "\t" << -1;
    QTest::newRow("Shift+Tab moves back")
        << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << "" << -1;
    QTest::newRow("Alt+x") << int(Qt::Key_X) << int(Qt::AltModifier) << "x" << -1;
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << "" << -1;
}

void tst_CoordinateEntry::characterCode() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, code);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    const std::optional<int> c = CoordinateKeyFilter::characterCode(event);
    QCOMPARE(c.value_or(-1), code);
}

QTEST_MAIN(tst_CoordinateEntry)
#include "tst_coordinateentry.moc"
