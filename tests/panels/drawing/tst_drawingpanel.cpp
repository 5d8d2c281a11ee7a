// The "Coordinates" page as the user sees it: which options are usable and which frame shows
// after each click, that each "Send" writes what its frame's fields and the selection make (the
// choice itself is tst_drawingcommand's), the refusal box, the key filter of the coordinate fields
// (through real key events) and the arrangement at several font sizes.
#include "panels/drawing/DrawingPanel.h"
#include "support/HexCompare.h"
#include "support/KeyInput.h"
#include "support/PanelFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <memory>

namespace {

struct Panel : PanelFixture<DrawingPanel> {
    Panel() { panel.show(); }
    QRadioButton* option(const QString& name) const { return find<QRadioButton>(name); }
    QLineEdit* field(const QString& name) const { return find<QLineEdit>(name); }
    QGroupBox* frame(const QString& name) const { return find<QGroupBox>(name); }
    // Selects options the way a program line would: the handler runs even on a disabled option.
    void select(const QStringList& names) {
        for (const QString& n : names)
            option(n)->setChecked(true);
    }
    void setFields(const QStringList& names, const QStringList& texts) {
        for (int i = 0; i < names.size(); ++i)
            field(names[i])->setText(texts.value(i));
    }
};

const QStringList kFlagOptions{"Option10", "Option11", "Option13", "Option5", "Option6"};
const QStringList kParameterFrames{"Frame5", "Frame35", "Frame39"};
const QStringList kLineFields{"Text15", "Text16", "Text18", "Text19"};
const QStringList kCircleFields{"Text20", "Text22", "Text23"};

// "EFRDC" flags as 1/0 for "Empty", "Filled", "Reverse", "Draw", "Clear" enabled, and the
// parameter frame shown.
QString flagsOf(const Panel& p) {
    QString flags;
    for (const QString& o : kFlagOptions)
        flags += p.option(o)->isEnabled() ? u'1' : u'0';
    for (const QString& f : kParameterFrames)
        if (!p.frame(f)->isHidden())
            flags += u' ' + f;
    return flags;
}

QString selectedIn(const Panel& p, const QStringList& group) {
    QStringList selected;
    for (const QString& o : group)
        if (p.option(o)->isChecked())
            selected << o;
    return selected.join(u',');
}

QString selectionOf(const Panel& p) {
    return selectedIn(p, {"Option12", "Option7", "Option8", "Option9"}) + u' ' +
           selectedIn(p, {"Option5", "Option6", "Option13"}) + u' ' +
           selectedIn(p, {"Option10", "Option11"});
}

void verifyIllegalCharacterBoxes(const RecordingDialogs& d, int count) {
    QCOMPARE(d.messages.size(), count);
    for (const ShownMessage& m : d.messages) {
        QCOMPARE(m.text, QStringLiteral("Illegal Character"));
        QCOMPARE(m.title, QStringLiteral("Error"));
        QCOMPARE(m.style, MessageStyle::InformationOk);
    }
}

// Sets the application's font for the life of a test and puts the old one back.
struct AppFont {
    explicit AppFont(const QFont& font) : old(QApplication::font()) { QApplication::setFont(font); }
    ~AppFont() { QApplication::setFont(old); }
    QFont old;
};

} // namespace

class tst_DrawingPanel : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void optionHandler_data();
    void optionHandler();
    void userSequence_data();
    void userSequence();
    void eachSendReadsItsFields_data();
    void eachSendReadsItsFields();
    void unsendableFieldIsRefused_data();
    void unsendableFieldIsRefused();
    void portClosedIsSilent_data();
    void portClosedIsSilent();
    void keyFilter_data();
    void keyFilter();
    void fieldsKeepTextAcrossShapes();
    void controlsAreNamedAndReachable();
    void twipPositionsWithSmallFont();
    void noCaptionClipped_data();
    void noCaptionClipped();
    void screenshots_data();
    void screenshots();
};

void tst_DrawingPanel::startState() {
    Panel p;
    QCOMPARE(selectionOf(p), QStringLiteral("Option7 Option5 Option10"));
    QCOMPARE(flagsOf(p), QStringLiteral("00011 Frame35"));
    for (const QString& f : QStringList{"Text4", "Text3"} + kLineFields + kCircleFields)
        QCOMPARE(p.field(f)->text(), QStringLiteral("0"));
    QCOMPARE(p.frame("Frame34")->title(), QStringLiteral("Line/Rectangle/Circle/Pixel"));
    QVERIFY(p.port.writes.isEmpty());
}

// Each handler run once from the start state, straight as the rule table has it.
void tst_DrawingPanel::optionHandler_data() {
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("flags");
    QTest::newRow("Pixel") << "Option12_Click"
                           << "00000 Frame5";
    QTest::newRow("Line") << "Option7_Click"
                          << "00011 Frame35";
    QTest::newRow("Rectangle") << "Option8_Click"
                               << "11111 Frame35";
    QTest::newRow("Circle") << "Option9_Click"
                            << "00011 Frame39";
    QTest::newRow("Draw, Rectangle not selected") << "Option5_Click"
                                                  << "00011 Frame35";
    QTest::newRow("Clear, Rectangle not selected") << "Option6_Click"
                                                   << "00011 Frame35";
    QTest::newRow("Reverse") << "Option13_Click"
                             << "00011 Frame35";
}

void tst_DrawingPanel::optionHandler() {
    QFETCH(QString, handler);
    QFETCH(QString, flags);
    Panel p;
    QVERIFY(QMetaObject::invokeMethod(&p.panel, handler.toLatin1().constData()));
    QCOMPARE(flagsOf(p), flags);
    // Handlers never change a selection.
    QCOMPARE(selectionOf(p), QStringLiteral("Option7 Option5 Option10"));
}

// Clicks as a user makes them (a disabled option cannot be clicked), then "Send" on the shown
// frame with every field at "0".
void tst_DrawingPanel::userSequence_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("sent");
    QTest::newRow("Rectangle, Reverse") << QStringList{"Option8", "Option13"} << "00111 Frame35"
                                        << "Option8 Option13 Option10"
                                        << "1E 03 00 00 00 00";
    QTest::newRow("Rectangle, Reverse, Draw")
        << QStringList{"Option8", "Option13", "Option5"} << "11111 Frame35"
        << "Option8 Option5 Option10"
        << "1F 01 00 00 00 00";
    QTest::newRow("Rectangle, Reverse, Clear, Filled")
        << QStringList{"Option8", "Option13", "Option6", "Option11"} << "11111 Frame35"
        << "Option8 Option6 Option11"
        << "1E 02 00 00 00 00";
    QTest::newRow("Rectangle, Reverse, Line sends nothing")
        << QStringList{"Option8", "Option13", "Option7"} << "00011 Frame35"
        << "Option7 Option13 Option10"
        << "";
    QTest::newRow("Rectangle, Reverse, Line, Rectangle")
        << QStringList{"Option8", "Option13", "Option7", "Option8"} << "11111 Frame35"
        << "Option8 Option13 Option10"
        << "1E 03 00 00 00 00";
    QTest::newRow("Rectangle, Reverse, Circle sends nothing")
        << QStringList{"Option8", "Option13", "Option9"} << "00011 Frame39"
        << "Option9 Option13 Option10"
        << "";
    QTest::newRow("Rectangle, Reverse, Circle, Clear")
        << QStringList{"Option8", "Option13", "Option9", "Option6"} << "00011 Frame39"
        << "Option9 Option6 Option10"
        << "20 00 00 00";
    QTest::newRow("Line, Clear leaves fill greyed") << QStringList{"Option6"} << "00011 Frame35"
                                                    << "Option7 Option6 Option10"
                                                    << "1E 00 00 00 00 00";
    QTest::newRow("Rectangle, Filled, Line: fill not read")
        << QStringList{"Option8", "Option11", "Option7"} << "00011 Frame35"
        << "Option7 Option5 Option11"
        << "1F 00 00 00 00 00";
    QTest::newRow("Rectangle, Clear, Pixel keeps mode")
        << QStringList{"Option8", "Option6", "Option12"} << "00000 Frame5"
        << "Option12 Option6 Option10"
        << "0A 01 | 00 00";
    QTest::newRow("Pixel, then greyed Draw cannot be clicked")
        << QStringList{"Option12", "Option6", "Option5"} << "00000 Frame5"
        << "Option12 Option5 Option10"
        << "0A 01 | 00 00";
    QTest::newRow("Circle") << QStringList{"Option9"} << "00011 Frame39"
                            << "Option9 Option5 Option10"
                            << "21 00 00 00";
}

void tst_DrawingPanel::userSequence() {
    QFETCH(QStringList, clicks);
    QFETCH(QString, flags);
    QFETCH(QString, selection);
    QFETCH(QString, sent);
    Panel p;
    for (const QString& c : clicks)
        p.option(c)->click();
    QCOMPARE(flagsOf(p), flags);
    QCOMPARE(selectionOf(p), selection);

    for (const char* send : {"cmdSend", "Command23", "Command26"}) {
        auto* b = p.find<QPushButton>(send);
        if (b->isVisibleTo(&p.panel))
            b->click();
    }
    COMPARE_HEX(p.port.writes, writesOf(sent.toLatin1().constData()));
    QVERIFY(p.dialogs.messages.isEmpty());
}

// Which field goes where, and the mode and fill as the options show them.
void tst_DrawingPanel::eachSendReadsItsFields_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("send");
    QTest::addColumn<QString>("sent");
    QTest::newRow("pixel") << QStringList{"Option12"} << QStringList{"Text4", "Text3"} << "cmdSend"
                           << "0A 01 | 05 07";
    QTest::newRow("rectangle Clear Filled")
        << QStringList{"Option8", "Option6", "Option11"}
        << QStringList{"Text15", "Text16", "Text18", "Text19"} << "Command23"
        << "1E 02 05 07 09 0B";
    QTest::newRow("circle Clear") << QStringList{"Option9", "Option6"}
                                  << QStringList{"Text20", "Text22", "Text23"} << "Command26"
                                  << "20 05 07 09";
}

void tst_DrawingPanel::eachSendReadsItsFields() {
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, fields);
    QFETCH(QString, send);
    QFETCH(QString, sent);
    Panel p;
    for (const QString& c : clicks)
        p.option(c)->click();
    p.setFields(fields, {"5", "7", "9", "11"});
    p.find<QPushButton>(send)->click();
    COMPARE_HEX(p.port.writes, writesOf(sent.toLatin1().constData()));
    QVERIFY(p.dialogs.messages.isEmpty());
}

// A field that cannot become a byte: nothing at all goes out and one box names what is wrong.
void tst_DrawingPanel::unsendableFieldIsRefused_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("named");
    QTest::newRow("line start X emptied")
        << QStringList{"Option7", "Option5"} << "Command23" << kLineFields
        << QStringList{"", "2", "3", "4"} << QStringList{"Start X is empty."};
    QTest::newRow("rectangle two bad fields in one box")
        << QStringList{"Option8", "Option13"} << "Command23" << kLineFields
        << QStringList{"1", "-1", "3", "1.5"}
        << QStringList{"Start Y holds \"-1\".", "End Y holds \"1.5\"."};
    QTest::newRow("pixel X bad: not even 0A 01")
        << QStringList{"Option12"} << "cmdSend" << QStringList{"Text4", "Text3"}
        << QStringList{"256", "7"} << QStringList{"Pixel X holds \"256\"."};
    QTest::newRow("circle long paste is shortened")
        << QStringList{"Option9", "Option6"} << "Command26" << kCircleFields
        << QStringList{"1", "2", "123456789012345678901234567890"}
        << QStringList{"Circle center Y holds \"12345678901234567890\u2026\"."};
}

void tst_DrawingPanel::unsendableFieldIsRefused() {
    QFETCH(QStringList, options);
    QFETCH(QString, button);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, named);
    Panel p;
    p.select(options);
    p.setFields(fields, texts);
    p.find<QPushButton>(button)->click();
    COMPARE_HEX(p.port.writes, writesOf(""));
    QCOMPARE(p.dialogs.messages.size(), 1);
    const ShownMessage& m = p.dialogs.messages.first();
    QCOMPARE(m.title, QStringLiteral("Error"));
    QCOMPARE(m.style, MessageStyle::InformationOk);
    QVERIFY2(m.text.contains(QStringLiteral("from 0 to 255")), qPrintable(m.text));
    QStringList lines = m.text.split(u'\n');
    QCOMPARE(lines.mid(lines.size() - named.size()), named);
    // The fields are left as they were, for the user to correct.
    for (int i = 0; i < fields.size(); ++i)
        QCOMPARE(p.field(fields[i])->text(), texts[i]);
}

void tst_DrawingPanel::portClosedIsSilent_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("badField");
    QTest::newRow("pixel with bad field") << QStringList{"Option12"} << "cmdSend_Click"
                                          << "Text4";
    QTest::newRow("rectangle with bad field") << QStringList{"Option8"} << "Command23_Click"
                                              << "Text19";
    QTest::newRow("circle with bad field") << QStringList{"Option9"} << "Command26_Click"
                                           << "Text20";
}

void tst_DrawingPanel::portClosedIsSilent() {
    QFETCH(QStringList, options);
    QFETCH(QString, handler);
    QFETCH(QString, badField);
    Panel p;
    p.port.setOpenForTest(false);
    p.select(options);
    p.field(badField)->setText(QStringLiteral("x"));
    QVERIFY(QMetaObject::invokeMethod(&p.panel, handler.toLatin1().constData()));
    QVERIFY(p.port.writes.isEmpty());
    QVERIFY(p.dialogs.messages.isEmpty());
}

// Keys typed into a field, then "Send" of its frame ("Line" "Draw" for the line fields).
void tst_DrawingPanel::keyFilter_data() {
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("illegalBoxes");
    QTest::addColumn<QString>("sent"); // "refused": nothing sent, one refusal box
    QTest::newRow("0 then 1 2 3") << "Option7"
                                  << "Text15"
                                  << "0"
                                  << "123"
                                  << "0123" << 0 << "1F 00 7B 00 00 00";
    QTest::newRow("Backspace resets") << "Option7"
                                      << "Text16"
                                      << "123"
                                      << "\b"
                                      << "0" << 0 << "1F 00 00 00 00 00";
    QTest::newRow("letter refused") << "Option7"
                                    << "Text18"
                                    << "45"
                                    << "a"
                                    << "0" << 1 << "1F 00 00 00 00 00";
    QTest::newRow("Enter refused") << "Option7"
                                   << "Text19"
                                   << "9"
                                   << "\r"
                                   << "0" << 1 << "1F 00 00 00 00 00";
    QTest::newRow("blank refused") << "Option7"
                                   << "Text15"
                                   << "12"
                                   << " "
                                   << "0" << 1 << "1F 00 00 00 00 00";
    QTest::newRow("minus refused") << "Option12"
                                   << "Text4"
                                   << "12"
                                   << "-"
                                   << "0" << 1 << "0A 01 | 00 00";
    QTest::newRow("point refused") << "Option12"
                                   << "Text3"
                                   << "12"
                                   << "."
                                   << "0" << 1 << "0A 01 | 00 00";
    QTest::newRow("comma refused") << "Option7"
                                   << "Text16"
                                   << "12"
                                   << ","
                                   << "0" << 1 << "1F 00 00 00 00 00";
    QTest::newRow("Ctrl+C refused") << "Option7"
                                    << "Text15"
                                    << "12"
                                    << "\x03"
                                    << "0" << 1 << "1F 00 00 00 00 00";
    QTest::newRow("Ctrl+V refused, nothing pasted") << "Option12"
                                                    << "Text4"
                                                    << "12"
                                                    << "\x16"
                                                    << "0" << 1 << "0A 01 | 00 00";
    QTest::newRow("typing after a refusal gives 05") << "Option7"
                                                     << "Text15"
                                                     << "45"
                                                     << "a5"
                                                     << "05" << 1 << "1F 00 05 00 00 00";
    QTest::newRow("typing after Backspace gives 05") << "Option12"
                                                     << "Text3"
                                                     << "123"
                                                     << "\b5"
                                                     << "05" << 0 << "0A 01 | 00 05";
    QTest::newRow("3 0 0 into an emptied field") << "Option7"
                                                 << "Text15"
                                                 << ""
                                                 << "300"
                                                 << "300" << 0 << "refused";
    QTest::newRow("Delete is not filtered") << "Option7"
                                            << "Text19"
                                            << "7"
                                            << "{Home}{Del}"
                                            << "" << 0 << "refused";
    QTest::newRow("arrows are not filtered") << "Option7"
                                             << "Text15"
                                             << "12"
                                             << "{Left}3"
                                             << "132" << 0 << "1F 00 84 00 00 00";
    QTest::newRow("circle field takes a letter silently") << "Option9"
                                                          << "Text20"
                                                          << "0"
                                                          << "a"
                                                          << "0a" << 0 << "refused";
    QTest::newRow("circle field Backspace deletes one") << "Option9"
                                                        << "Text22"
                                                        << "64"
                                                        << "\b"
                                                        << "6" << 0 << "21 00 06 00";
}

void tst_DrawingPanel::keyFilter() {
    QFETCH(QString, shape);
    QFETCH(QString, field);
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, illegalBoxes);
    QFETCH(QString, sent);
    Panel p;
    QApplication::clipboard()->setText(QStringLiteral("77"));
    p.option(shape)->click();
    QLineEdit* f = p.field(field);
    f->setText(start);
    f->setFocus();
    typeKeys(f, keys);
    QCOMPARE(f->text(), text);
    verifyIllegalCharacterBoxes(p.dialogs, illegalBoxes);

    p.dialogs.messages.clear();
    const char* send = shape == "Option12"  ? "cmdSend"
                       : shape == "Option9" ? "Command26"
                                            : "Command23";
    p.find<QPushButton>(send)->click();
    if (sent == "refused") {
        QVERIFY(p.port.writes.isEmpty());
        QCOMPARE(p.dialogs.messages.size(), 1);
        QVERIFY(p.dialogs.messages.first().text.contains(p.field(field)->accessibleName()));
    } else {
        COMPARE_HEX(p.port.writes, writesOf(sent.toLatin1().constData()));
        QVERIFY(p.dialogs.messages.isEmpty());
    }
}

void tst_DrawingPanel::fieldsKeepTextAcrossShapes() {
    Panel p;
    p.setFields({"Text4", "Text15", "Text20"}, {"5", "15", "20"});
    for (const char* shape : {"Option12", "Option9", "Option8", "Option7"})
        p.option(shape)->click();
    QCOMPARE(p.field("Text4")->text(), QStringLiteral("5"));
    QCOMPARE(p.field("Text15")->text(), QStringLiteral("15"));
    QCOMPARE(p.field("Text20")->text(), QStringLiteral("20"));
}

void tst_DrawingPanel::controlsAreNamedAndReachable() {
    Panel p;
    QSet<QString> fieldNames;
    for (QWidget* w : p.panel.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w);
        if (!control)
            continue;
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        QVERIFY2(w->focusPolicy() & Qt::TabFocus, qPrintable(w->objectName()));
        if (qobject_cast<QLineEdit*>(w))
            fieldNames.insert(w->accessibleName());
    }
    // The refusal box names fields by these, so each must be told apart.
    QCOMPARE(fieldNames.size(), 9);
}

// The arrangement at scale 1 is the twip table (pixels = twips / 15); with a small font the
// panel keeps it nearly unchanged (the option indicators need 14 pixels where the mode options
// stand 13.3 apart, so it grows by one step).
void tst_DrawingPanel::twipPositionsWithSmallFont() {
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(8);
    const AppFont font(small);
    auto p = std::make_unique<Panel>();
    const TwipLayout& layout = p->panel.twipLayout();
    QVERIFY2(layout.scale() <= 1.05, qPrintable(QString::number(layout.scale())));
    const auto at1 = [&](const char* name) {
        return layout.geometryAt(p->panel.findChild<QWidget*>(QLatin1String(name)), 1.0);
    };
    QCOMPARE(at1("Frame34"), QRect(48, 40, 305, 209));
    QCOMPARE(at1("Frame36"), QRect(144, 16, 81, 65));
    QCOMPARE(at1("Frame38"), QRect(232, 16, 65, 65));
    for (const char* f : {"Frame5", "Frame35", "Frame39"})
        QCOMPARE(at1(f), QRect(96, 88, 129, 113));
    QCOMPARE(at1("Text4"), QRect(48, 24, 41, 19));
    QCOMPARE(at1("Text3"), QRect(48, 48, 41, 19));
    QCOMPARE(at1("Text15"), QRect(24, 32, 33, 19));
    QCOMPARE(at1("Text18"), QRect(80, 32, 33, 19));
    QCOMPARE(at1("Text23"), QRect(80, 56, 33, 19));
    QCOMPARE(at1("Text20"), QRect(24, 32, 33, 19));
    QCOMPARE(at1("Option7").topLeft(), QPoint(8, 24));
    QCOMPARE(at1("Option8").topLeft(), QPoint(8, 48));
    QCOMPARE(at1("Option9").topLeft(), QPoint(88, 24));
    QCOMPARE(at1("Option12").topLeft(), QPoint(88, 48));
    QCOMPARE(at1("Option5").topLeft(), QPoint(8, 16));
    QCOMPARE(at1("Option13").topLeft(), QPoint(8, 43));
    QCOMPARE(at1("Option10").topLeft(), QPoint(8, 20));
    QCOMPARE(at1("Option11").topLeft(), QPoint(8, 40));
    QCOMPARE(at1("cmdSend").topLeft(), QPoint(32, 80));
    QCOMPARE(at1("Command23").topLeft(), QPoint(40, 88));
    QCOMPARE(at1("Start").topLeft(), QPoint(24, 16));
    // What is applied is that arrangement scaled evenly.
    const double s = layout.scale();
    QCOMPARE(p->frame("Frame34")->pos(), QPoint(qRound(48 * s), qRound(40 * s)));
    QCOMPARE(p->option("Option12")->pos(), QPoint(qRound(88 * s), qRound(48 * s)));
}

// At the sizes Linux desktops use, every caption shows whole, neighbours do not overlap and
// everything stays inside its frame, also after the font changes while the panel is up.
void tst_DrawingPanel::noCaptionClipped_data() {
    QTest::addColumn<int>("startPoint");
    QTest::addColumn<int>("point");
    QTest::newRow("9 pt") << 9 << 9;
    QTest::newRow("11 pt") << 11 << 11;
    QTest::newRow("9 pt, then 14 pt while shown") << 9 << 14;
    QTest::newRow("14 pt, then 8 pt while shown") << 14 << 8;
}

void tst_DrawingPanel::noCaptionClipped() {
    QFETCH(int, startPoint);
    QFETCH(int, point);
    const AppFont font(QFont(QStringLiteral("DejaVu Sans"), startPoint));
    auto p = std::make_unique<Panel>();
    p->panel.setFont(QFont(QStringLiteral("DejaVu Sans"), point));

    const QList<QWidget*> all = p->panel.findChildren<QWidget*>();
    for (QWidget* w : all) {
        const QFontMetrics fm = w->fontMetrics();
        QCOMPARE(w->font().pointSize(), point);
        const QString name = w->objectName() + u' ' + w->metaObject()->className();
        if (qobject_cast<QRadioButton*>(w) || qobject_cast<QLabel*>(w))
            QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(name));
        if (auto* b = qobject_cast<QPushButton*>(w))
            QVERIFY2(w->width() >= fm.horizontalAdvance(b->text()) + 8, qPrintable(name));
        if (qobject_cast<QLineEdit*>(w))
            QVERIFY2(w->width() >= fm.horizontalAdvance(QStringLiteral("255")) + 8,
                     qPrintable(name));
        if (!qobject_cast<QGroupBox*>(w) && !qobject_cast<QLineEdit*>(w) &&
            !qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLabel*>(w))
            continue;
        if (w->height() < fm.height())
            QFAIL(qPrintable(name + QStringLiteral(" is lower than a line of text")));
        // Inside the frame (below its title) and clear of every neighbour.
        QWidget* parent = w->parentWidget();
        if (parent != &p->panel) {
            const auto* box = qobject_cast<QGroupBox*>(parent);
            const int top = box && !box->title().isEmpty() ? fm.height() : 0;
            QVERIFY2(parent->rect().adjusted(0, top, 0, 0).contains(w->geometry()),
                     qPrintable(name));
        }
        for (QWidget* other : all) {
            if (other == w || other->parentWidget() != parent || other->geometry() == w->geometry())
                continue;
            QVERIFY2(!w->geometry().intersects(other->geometry()),
                     qPrintable(name + QStringLiteral(" overlaps ") + other->objectName()));
        }
    }
    const QRect frame = p->frame("Frame34")->geometry();
    QVERIFY(p->panel.minimumWidth() > frame.right());
    QVERIFY(p->panel.minimumHeight() > frame.bottom());
}

// Pictures of the panel for each shape, written only when VANTREL_SCREENSHOT_DIR names a folder.
void tst_DrawingPanel::screenshots_data() {
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("point"); // 0: the desktop's font
    for (int point : {0, 11}) {
        const QString suffix = point ? QStringLiteral("-%1pt").arg(point) : QString();
        const auto row = [&](const char* shape, const QStringList& clicks) {
            const QString name = QLatin1String(shape) + suffix;
            QTest::newRow(qPrintable(name)) << name << clicks << point;
        };
        row("line", {"Option7"});
        row("rectangle", {"Option8", "Option11"});
        row("circle", {"Option9"});
        row("pixel", {"Option12"});
    }
}

void tst_DrawingPanel::screenshots() {
    QFETCH(QString, shape);
    QFETCH(QStringList, clicks);
    QFETCH(int, point);
    const QString dir = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("set VANTREL_SCREENSHOT_DIR to a folder to write the pictures");
    QFont font = QApplication::font();
    if (point)
        font.setPointSize(point);
    const AppFont appFont(font);
    Panel p;
    for (const QString& c : clicks)
        p.option(c)->click();
    QVERIFY(QDir().mkpath(dir));
    const QPixmap shot = p.panel.grab();
    QVERIFY(!shot.isNull());
    const QString path = dir + QStringLiteral("/drawing-%1.png").arg(shape);
    QVERIFY2(shot.save(path), qPrintable(path));
    qInfo("wrote %s (scale %.2f)", qPrintable(path), p.panel.twipLayout().scale());
}

QTEST_MAIN(tst_DrawingPanel)
#include "tst_drawingpanel.moc"
