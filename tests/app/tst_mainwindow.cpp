// The main window: start state of every control by name, the port list, shut-down, About box,
// and what a screen reader hears of the controls whose text changes.
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "panels/connection/ConnectionPanel.h"
#include "panels/picture/ConvertPictureDialog.h"
#include "support/HexCompare.h"
#include "support/TestBitmaps.h"
#include "support/WindowFixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Sends mouse events to `target` as the window system does: each step is "press", "release" or
// "double" (the second press of a double click), a button L, R or M, and "in" or "out" (a point
// beside the control; the control keeps the mouse while a button is held).
void mouseSteps(QWidget* target, const QString& steps) {
    Qt::MouseButtons held;
    for (const QString& step : steps.split(u',', Qt::SkipEmptyParts)) {
        const QStringList word = step.split(u' ', Qt::SkipEmptyParts);
        QVERIFY2(word.size() == 3, qPrintable(step));
        const QHash<QString, Qt::MouseButton> buttons{
            {"L", Qt::LeftButton}, {"R", Qt::RightButton}, {"M", Qt::MiddleButton}};
        const Qt::MouseButton button = buttons.value(word[1], Qt::NoButton);
        QVERIFY2(button != Qt::NoButton, qPrintable(step));
        const QPointF at = word[2] == u"in" ? QPointF(target->rect().center())
                                            : QPointF(target->width() + 20, -20);
        QEvent::Type type = QEvent::MouseButtonPress;
        if (word[0] == u"release") {
            type = QEvent::MouseButtonRelease;
            held &= ~button;
        } else {
            type = word[0] == u"double" ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress;
            held |= button;
        }
        QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
}

// Brings the window into one of the states the accessibility table names.
void reachState(WindowFixture& f, const QString& state, const QTemporaryDir& dir) {
    if (state == u"at start")
        return;
    if (state == u"every scroll bar at its maximum") {
        for (QScrollBar* bar : f.window->findChildren<QScrollBar*>(
                 QRegularExpression(QStringLiteral("^HScroll\\d+$"))))
            bar->setValue(bar->maximum());
        return;
    }
    if (state == u"picture opened") {
        const QString path = dir.filePath(QStringLiteral("picture.bmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        testbmp::Spec picture;
        picture.width = 100;
        picture.height = 64;
        file.write(testbmp::write(picture));
        file.close();
        f.dialogs.fileNames.enqueue(path);
        f.find<QPushButton>("Command5")->click();
        return;
    }
    f.connectAndPoll();
    if (state == u"connected")
        return;
    if (state == u"reply received") {
        f.port.receive("AB");
        f.connection()->Timer2_Timer();
    } else if (state == u"disconnected") {
        f.find<QPushButton>("cmd_conecta")->click();
    } else {
        QFAIL(qPrintable(QStringLiteral("no state ") + state));
    }
}

QString shownText(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (const auto* box = qobject_cast<const QLineEdit*>(w))
        return box->text();
    return QStringLiteral("(no text)");
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
private slots:
    void startState_data();
    void startState();
    void displayOnlyBoxes();
    void timersStoppedWithIntervals();
    void windowFrame();
    void tabStructure();
    void portList_data();
    void portList();
    void exitClosesOpenPort_data();
    void exitClosesOpenPort();
    void aboutBox();
    void aboutLink_data();
    void aboutLink();
    void aboutGestureUnlocksFontScreens();
    void everyControlHasAnAccessibleName();
    void accessibleTextFollowsTheWindow_data();
    void accessibleTextFollowsTheWindow();
};

void tst_MainWindow::startState_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");
    auto row = [](const char* control, const char* property, const QVariant& expected) {
        QTest::addRow("%s.%s", control, property)
            << QString::fromLatin1(control) << QString::fromLatin1(property) << expected;
    };
    // Settings
    row("cboPort", "currentText", QStringLiteral("1  fake1"));
    row("cboPort", "editable", false);
    row("cboBR", "currentText", QStringLiteral("9600"));
    row("cboBR", "count", 9);
    row("cboBR", "editable", false);
    row("cmd_conecta", "text", QStringLiteral("Connect"));
    row("cmbBoudRate", "currentText", QStringLiteral("9600"));
    row("cmbBoudRate", "editable", true);
    row("Command4", "text", QStringLiteral("OK"));
    row("Text17", "text", QString());
    row("HScroll1", "minimum", 0);
    row("HScroll1", "maximum", 127);
    row("HScroll1", "value", 0);
    row("Text9", "text", QStringLiteral("0"));
    row("Command18", "text", QStringLiteral("ON"));
    row("Command19", "text", QStringLiteral("OFF"));
    // Text
    row("Text2", "plainText", QString());
    row("Option1", "text", QStringLiteral("7 Pix"));
    row("Option1", "checked", true);
    row("Option2", "text", QStringLiteral("14 Pix"));
    row("Option2", "checked", false);
    row("Option3", "text", QStringLiteral("14 Pix Bold"));
    row("Option4", "text", QStringLiteral("22 Pix"));
    row("optChar", "text", QStringLiteral("Character"));
    row("optChar", "checked", true);
    row("optString", "text", QStringLiteral("String"));
    row("optString", "checked", false);
    row("HScroll2", "maximum", 15);
    row("HScroll2", "value", 0);
    row("Text7", "text", QStringLiteral("0"));
    row("Command7", "text", QStringLiteral("OK"));
    row("HScroll3", "maximum", 159);
    row("Text6", "text", QStringLiteral("0"));
    row("Command6", "text", QStringLiteral("OK"));
    // Graphic
    row("txtString1", "plainText", QString());
    row("Command1", "text", QStringLiteral("Send"));
    row("Command5", "text", QStringLiteral("Open"));
    row("Command3", "text", QStringLiteral("Send"));
    row("ProgressBar1", "minimum", 0);
    row("ProgressBar1", "maximum", 2560);
    row("ProgressBar1", "value", 0);
    row("Label3", "text", QStringLiteral("Dimensions:"));
    row("HScroll4", "minimum", 5);
    row("HScroll4", "maximum", 203);
    row("HScroll4", "value", 5);
    row("Text10", "text", QStringLiteral("5"));
    row("optLoad", "text", QStringLiteral("Load"));
    row("optLoad", "checked", true);
    row("optLoad", "toolTip", QStringLiteral("Load from the memory"));
    row("optSave", "text", QStringLiteral("Save As"));
    row("optSave", "toolTip", QStringLiteral("Save to the memory"));
    row("cmdOk", "text", QStringLiteral("OK"));
    // Coordinates
    row("Option12", "text", QStringLiteral("Pixel"));
    row("Option7", "text", QStringLiteral("Line"));
    row("Option7", "checked", true);
    row("Option8", "text", QStringLiteral("Rectangle"));
    row("Option9", "text", QStringLiteral("Circle"));
    row("Frame5", "shown", false);
    row("Frame35", "shown", true);
    row("Frame39", "shown", false);
    for (const char* field :
         {"Text4", "Text3", "Text15", "Text16", "Text18", "Text19", "Text20", "Text22", "Text23"})
        row(field, "text", QStringLiteral("0"));
    row("cmdSend", "text", QStringLiteral("Send"));
    row("Command23", "text", QStringLiteral("Send"));
    row("Command26", "text", QStringLiteral("Send"));
    row("Option10", "text", QStringLiteral("Empty"));
    row("Option10", "checked", true);
    row("Option10", "enabled", false);
    row("Option11", "text", QStringLiteral("Filled"));
    row("Option11", "enabled", false);
    row("Option5", "text", QStringLiteral("Draw"));
    row("Option5", "checked", true);
    row("Option5", "enabled", true);
    row("Option6", "text", QStringLiteral("Clear"));
    row("Option6", "enabled", true);
    row("Option13", "text", QStringLiteral("Reverse"));
    row("Option13", "enabled", false);
    // Touch Screen/Animation
    row("HScroll5", "minimum", 3);
    row("HScroll5", "maximum", 100);
    row("HScroll5", "value", 3);
    row("Text11", "text", QStringLiteral("3"));
    row("HScroll6", "minimum", 1);
    row("HScroll6", "maximum", 202);
    row("Text12", "text", QStringLiteral("1"));
    row("HScroll7", "minimum", 2);
    row("HScroll7", "maximum", 203);
    row("Text13", "text", QStringLiteral("2"));
    row("Command17", "text", QStringLiteral("Run"));
    row("Command20", "text", QStringLiteral("Stop"));
    row("Command22", "text", QStringLiteral("4x4 Keypad w/Flip"));
    row("Cmd4x4", "text", QStringLiteral("4x4 Keypad w/o Flip"));
    row("CmdAnalog", "text", QStringLiteral("Coordinates"));
    row("CmdOFF", "text", QStringLiteral("OFF"));
    row("CmdNewCal", "text", QStringLiteral("New Calibration"));
    row("CmdRestor", "text", QStringLiteral("Restore Default"));
    row("Text14", "text", QString());
    // Display
    row("HScroll9", "maximum", 15);
    row("Text8", "text", QStringLiteral("0"));
    row("Command16", "text", QStringLiteral("Clear Page"));
    row("HScroll8", "maximum", 15);
    row("Text1", "text", QStringLiteral("0"));
    row("Command21", "text", QStringLiteral("Flip Page"));
    row("cmdLCDON", "text", QStringLiteral("ON"));
    row("cmdLCDOFF", "text", QStringLiteral("OFF"));
    row("Command8", "text", QStringLiteral("Normal"));
    row("Command9", "text", QStringLiteral("Reverse"));
    row("Command10", "text", QStringLiteral("Top Normal Bottom Reverse"));
    row("Command11", "text", QStringLiteral("Top Reverse Bottom Normal"));
    row("Command12", "text", QStringLiteral("Right Reverse Left Normal"));
    row("Command13", "text", QStringLiteral("Diagonal [/]"));
    row("Command14", "text", QStringLiteral("Diagonal [\\]"));
    row("Command15", "text", QStringLiteral("Clear Screen"));
    row("optRotate0", "text", QStringLiteral(" 0\u00B0"));
    row("optRotate0", "checked", true);
    row("optRotate180", "text", QStringLiteral("180\u00B0"));
}

void tst_MainWindow::startState() {
    QFETCH(QString, control);
    QFETCH(QString, property);
    QFETCH(QVariant, expected);
    WindowFixture f;
    f.window->show();
    QWidget* w = f.window->findChild<QWidget*>(control);
    QVERIFY2(w, qPrintable(control));
    // "shown": not hidden itself, whichever tab page is current.
    const QVariant actual = property == QStringLiteral("shown") ? QVariant(!w->isHidden())
                                                                : w->property(property.toLatin1());
    QVERIFY2(actual.isValid(), qPrintable(property));
    QCOMPARE(actual, expected);
}

void tst_MainWindow::displayOnlyBoxes() {
    WindowFixture f;
    for (const char* name : {"Text1", "Text6", "Text7", "Text8", "Text9", "Text10", "Text11",
                             "Text12", "Text13", "Text14", "Text17"}) {
        auto* box = f.find<QLineEdit>(name);
        QVERIFY2(box->isReadOnly(), name);
        // The two response boxes can be tabbed to, to read and copy a reply; mirror boxes
        // repeat their scroll bar's value and take no focus.
        const bool response = box->objectName() == u"Text14" || box->objectName() == u"Text17";
        QCOMPARE(box->focusPolicy(), response ? Qt::StrongFocus : Qt::NoFocus);
        const QString before = box->text();
        QTest::keyClicks(box, QStringLiteral("7x"));
        QCOMPARE(box->text(), before);
    }
    QVERIFY(!f.find<QLineEdit>("txtBuffer")->isVisibleTo(f.window.get()));
}

void tst_MainWindow::timersStoppedWithIntervals() {
    WindowFixture f;
    const QList<QPair<const char*, int>> timers{
        {"Timer1", 1500}, {"Timer2", 250}, {"Timer3", 500}, {"Timer4", 50}};
    for (const auto& [name, interval] : timers) {
        auto* timer = f.find<QTimer>(name);
        QVERIFY2(!timer->isActive(), name);
        QCOMPARE(timer->interval(), interval);
    }
}

void tst_MainWindow::windowFrame() {
    WindowFixture f;
    QCOMPARE(f.window->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(f.window->windowTitle(), QStringLiteral(" Vantrel"));
    QCOMPARE(f.statusText(), QStringLiteral("Controller Disconnected "));
    QCOMPARE(f.find<QLabel>("StatusPanel2")->text(), QString());
    QVERIFY(!f.find<QLabel>("StatusPanel3")->text().isEmpty());
    QVERIFY(f.find<QTimer>("StatusClock")->isActive());
    QCOMPARE(f.port.objectName(), QStringLiteral("MSserial"));

    QStringList menus;
    for (QAction* a : f.window->menuBar()->actions())
        menus << a->text().remove(u'&');
    QCOMPARE(menus,
             (QStringList{QStringLiteral("File"), QStringLiteral("View"), QStringLiteral("Help")}));
    auto* blank = f.window->findChild<QAction*>(QStringLiteral("mnuBlanck"));
    QVERIFY(blank && blank->isSeparator());
    QCOMPARE(f.find<QAction>("mnuExit")->text().remove(u'&'), QStringLiteral("Exit"));
    QCOMPARE(f.find<QAction>("mnuAbout")->text().remove(u'&'), QStringLiteral("About Vantrel"));
}

void tst_MainWindow::tabStructure() {
    WindowFixture f;
    auto tabTexts = [](QTabWidget* tabs) {
        QStringList texts;
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
        return texts;
    };
    QCOMPARE(tabTexts(f.find<QTabWidget>("SSTab1")),
             (QStringList{"Settings", "Modes", "Utilities"}));
    QCOMPARE(tabTexts(f.find<QTabWidget>("SSTab2")),
             (QStringList{"Text", "Graphic", "Coordinates"}));
    QCOMPARE(tabTexts(f.find<QTabWidget>("SSTab4")),
             (QStringList{"Touch Screen/Animation", "Display"}));
    // Each frame sits on its page.
    const QList<QPair<const char*, QStringList>> pages{
        {"PageSettings",
         {"Communication", "Change Baud Rate", "Controller Response", "Contrast", "Backlight"}},
        {"PageText", {"Input Text", "Font", "Start"}},
        {"PageGraphic", {"Pattern", "Picture", "Memory"}},
        {"PageCoordinates", {"Line/Rectangle/Circle/Pixel"}},
        {"PageTouchAnimation", {"Animation", "Touch Screen"}},
        {"PageDisplay", {"Rotation"}},
    };
    for (const auto& [pageName, titles] : pages) {
        QStringList found;
        for (QGroupBox* box : f.find<QWidget>(pageName)->findChildren<QGroupBox*>())
            found << box->title();
        for (const QString& title : titles)
            QVERIFY2(found.contains(title),
                     qPrintable(QStringLiteral("%1 on %2").arg(title, pageName)));
    }
}

void tst_MainWindow::portList_data() {
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("1, 3 and 17") << QList<int>{1, 3, 17}
                                 << QStringList{"1  ttyTEST1", "3  ttyTEST3"};
    QTest::newRow("none") << QList<int>{} << QStringList{};
    QTest::newRow("16 only") << QList<int>{16} << QStringList{"16  ttyTEST16"};
}

void tst_MainWindow::portList() {
    QFETCH(QList<int>, present);
    QFETCH(QStringList, listed);
    QMap<int, QString> devices;
    for (int n : present)
        devices.insert(n, QStringLiteral("/dev/ttyTEST%1").arg(n));
    WindowFixture f(devices);
    auto* ports = f.find<QComboBox>("cboPort");
    QStringList texts;
    for (int i = 0; i < ports->count(); ++i)
        texts << ports->itemText(i);
    QCOMPARE(texts, listed);
    QCOMPARE(ports->currentIndex(), listed.isEmpty() ? -1 : 0);
    if (!listed.isEmpty())
        QVERIFY(ports->itemData(0, Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("/dev/ttyTEST%1").arg(ports->itemData(0).toInt())));
    QCOMPARE(f.find<QComboBox>("cboBR")->currentText(), QStringLiteral("9600"));
    QCOMPARE(f.find<QComboBox>("cmbBoudRate")->currentText(), QStringLiteral("9600"));
    QVERIFY(f.port.writes.isEmpty());
    QCOMPARE(f.port.openCount, 0);
}

void tst_MainWindow::exitClosesOpenPort_data() {
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("File > Exit") << true;
    QTest::newRow("close box") << false;
}

void tst_MainWindow::exitClosesOpenPort() {
    QFETCH(bool, byMenu);
    WindowFixture f;
    f.window->show();
    f.connectAndPoll();
    f.window->mnuAbout_Click();
    QPointer<AboutBox> about = f.window->aboutBox();
    QVERIFY(about && about->isVisible());
    if (byMenu)
        f.find<QAction>("mnuExit")->trigger();
    else
        f.window->close();
    QVERIFY(!f.window->isVisible());
    QVERIFY(!f.port.portOpen());
    QVERIFY(f.port.writes.isEmpty());
    QVERIFY(!f.find<QTimer>("Timer2")->isActive());
    QVERIFY(!about || !about->isVisible());
    QVERIFY(f.dialogs.messages.isEmpty());
}

void tst_MainWindow::aboutBox() {
    WindowFixture f;
    f.window->mnuAbout_Click();
    AboutBox* about = f.window->aboutBox();
    QVERIFY(about);
    QVERIFY(!about->isModal());
    QCOMPARE(about->windowTitle(), QStringLiteral(" About Vantrel"));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Version 1.3.1"));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lblTitle"))->text(),
             QStringLiteral("Vantrel"));
    auto* ok = about->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    QVERIFY(ok->isDefault());

    QList<QUrl> opened;
    about->openUrl = [&](const QUrl& url) { opened << url; };
    auto* link = about->findChild<QLabel*>(QStringLiteral("Label5"));
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{QUrl(QString::fromLatin1(AboutBox::kMakerWebAddress))});
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(about->isVisible());

    // Choosing the menu again brings the same box forward.
    f.window->mnuAbout_Click();
    QCOMPARE(f.window->aboutBox(), about);

    // Esc closes it like OK.
    QPointer<AboutBox> guard(about);
    QTest::keyClick(about, Qt::Key_Escape);
    QTRY_VERIFY(!guard);
}

void tst_MainWindow::aboutLink_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("opened");
    QTest::newRow("left click") << "press L in, release L in" << 1;
    QTest::newRow("two clicks") << "press L in, release L in, press L in, release L in" << 2;
    QTest::newRow("double click") << "press L in, release L in, double L in, release L in" << 1;
    QTest::newRow("right click") << "press R in, release R in" << 0;
    QTest::newRow("right click while left is held")
        << "press L in, press R in, release R in, release L in" << 1;
    QTest::newRow("released beside the link") << "press L in, release L out" << 0;
    QTest::newRow("release without a press on the link") << "release L in" << 0;
}

void tst_MainWindow::aboutLink() {
    QFETCH(QString, steps);
    QFETCH(int, opened);
    WindowFixture f;
    f.window->mnuAbout_Click();
    AboutBox* about = f.window->aboutBox();
    QList<QUrl> urls;
    about->openUrl = [&](const QUrl& url) { urls << url; };
    mouseSteps(about->findChild<QLabel*>(QStringLiteral("Label5")), steps);
    QCOMPARE(urls, QList<QUrl>(opened, QUrl(QString::fromLatin1(AboutBox::kMakerWebAddress))));
    QVERIFY(about->isVisible());
}

void tst_MainWindow::aboutGestureUnlocksFontScreens() {
    WindowFixture f;
    auto* screen = f.find<QScrollBar>("HScroll4");
    screen->setValue(1);
    QCOMPARE(screen->value(), 5); // locked
    f.window->mnuAbout_Click();
    QWidget* logo = f.window->aboutBox()->findChild<QWidget*>(QStringLiteral("Picture1"));
    QTest::mouseDClick(logo, Qt::LeftButton);
    QCOMPARE(screen->minimum(), 1);
    QCOMPARE(screen->value(), 1);
    QCOMPARE(f.find<QLineEdit>("Text10")->text(), QStringLiteral("1"));
    screen->setValue(30);
    QTest::mouseDClick(logo, Qt::LeftButton);
    QCOMPARE(screen->minimum(), 1);
    QCOMPARE(screen->value(), 1);
    QVERIFY(f.port.writes.isEmpty());
}

// Every control a user can reach, in the main window, the traffic monitor (its child) and the
// "Convert Picture" dialog, reads a name.
void tst_MainWindow::everyControlHasAnAccessibleName() {
    WindowFixture f;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    ConvertPictureDialog convert(picture);
    QStringList unnamed;
    for (QWidget* root : {static_cast<QWidget*>(f.window.get()), static_cast<QWidget*>(&convert)})
        for (QWidget* w : root->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                                 qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSlider*>(w) ||
                                 qobject_cast<QAbstractSpinBox*>(w) ||
                                 qobject_cast<QAbstractItemView*>(w) || qobject_cast<QGroupBox*>(w);
            if (!control || w->objectName().isEmpty() || w->objectName().startsWith(u"qt_"))
                continue;
            if (qobject_cast<QLineEdit*>(w) && (qobject_cast<QComboBox*>(w->parentWidget()) ||
                                                qobject_cast<QAbstractSpinBox*>(w->parentWidget())))
                continue; // the editor inside a combo or spin box is named by the box
            if (qobject_cast<QScrollBar*>(w) && !w->objectName().startsWith(u"HScroll"))
                continue; // scroll bars of text areas and tables
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
            const QString name = iface ? iface->text(QAccessible::Name) : QString();
            if (name.trimmed().isEmpty())
                unnamed << w->objectName();
        }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
}

void tst_MainWindow::accessibleTextFollowsTheWindow_data() {
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("text"); // empty: whatever the control shows, which is not empty
    const int name = QAccessible::Name;
    const int value = QAccessible::Value;
    const int description = QAccessible::Description;
    auto row = [](const char* state, const char* control, int role, const QString& text) {
        const char* roleName = role == QAccessible::Name    ? "name"
                               : role == QAccessible::Value ? "value"
                                                            : "description";
        QTest::addRow("%s %s: %s", control, roleName, state) << state << control << role << text;
    };
    // Captions and labels: a screen reader hears their text as the name.
    row("at start", "cmd_conecta", name, "Connect");
    row("connected", "cmd_conecta", name, "Disconnect");
    row("disconnected", "cmd_conecta", name, "Connect");
    row("at start", "StatusPanel1", name, "Controller Disconnected ");
    row("connected", "StatusPanel1", name, "Connected: COM1 9600,N,8,1");
    row("disconnected", "StatusPanel1", name, "Controller Disconnected");
    row("at start", "StatusPanel3", name, QString());
    row("at start", "Label3", name, "Dimensions:");
    row("picture opened", "Label3", name, "Dimensions: 100 x 64");
    // What the fixed-text panels are for stays reachable.
    row("connected", "StatusPanel1", description, "Connection state");
    row("at start", "StatusPanel3", description, "Time of day");
    // Boxes the program writes: a screen reader hears their text as the value.
    row("reply received", "Text17", value, "AB");
    row("reply received", "Text14", value, "AB");
    for (const auto& [box, maximum] :
         std::initializer_list<std::pair<const char*, const char*>>{{"Text9", "127"},
                                                                    {"Text7", "15"},
                                                                    {"Text6", "159"},
                                                                    {"Text10", "203"},
                                                                    {"Text11", "100"},
                                                                    {"Text12", "202"},
                                                                    {"Text13", "203"},
                                                                    {"Text8", "15"},
                                                                    {"Text1", "15"}})
        row("every scroll bar at its maximum", box, value, maximum);
}

void tst_MainWindow::accessibleTextFollowsTheWindow() {
    QFETCH(QString, state);
    QFETCH(QString, control);
    QFETCH(int, role);
    QFETCH(QString, text);
    QTemporaryDir dir;
    WindowFixture f;
    reachState(f, state, dir);
    auto* widget = f.find<QWidget>(control.toLatin1().constData());
    if (role != QAccessible::Description) {
        // The row is about the text the window shows.
        const QString shown = shownText(widget);
        if (text.isEmpty())
            QVERIFY2(!shown.isEmpty(), qPrintable(control));
        else
            QCOMPARE(shown, text);
        text = shown;
    }
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Text(role)), text);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
