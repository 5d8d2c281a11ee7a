// The traffic monitor window: what a session's rows read as, folds opened and closed, the bound,
// pause and filter, copying and saving, and its place in the View menu.

#include "engine/BoardSession.h"
#include "panels/connection/ConnectionPanel.h"
#include "panels/monitor/TrafficMonitor.h"
#include "panels/monitor/TrafficTableModel.h"
#include "support/HexCompare.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using engine::Direction;

namespace {

qint64 base() {
    return QDateTime(QDate(2024, 5, 2), QTime(9, 15, 0, 0)).toMSecsSinceEpoch();
}

// A table row as "direction | bytes | meaning", the meaning marked "+" for a closed fold, "-"
// for an opened one and indented for a row inside one.
QStringList tableRows(const TrafficTableModel& model) {
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        auto cell = [&](int column) { return model.index(r, column).data().toString(); };
        const QString time = cell(TrafficTableModel::TimeColumn);
        const QString mark = time.startsWith(u'▸')   ? QStringLiteral("+")
                             : time.startsWith(u'▾') ? QStringLiteral("-")
                             : time.startsWith(u' ') ? QStringLiteral("  ")
                                                     : QString();
        rows << cell(TrafficTableModel::DirectionColumn) + " | " +
                    cell(TrafficTableModel::BytesColumn) + " | " + mark +
                    cell(TrafficTableModel::MeaningColumn);
    }
    return rows;
}

// Meanings only, marked as above.
QStringList meanings(const TrafficTableModel& model) {
    QStringList out;
    for (const QString& row : tableRows(model))
        out << row.section(QStringLiteral(" | "), 2);
    return out;
}

// A monitor fed by hand, with a clock the test moves.
struct MonitorFixture {
    explicit MonitorFixture(qsizetype maxRows = engine::TrafficLog::kDefaultMaxRows)
        : monitor(dialogs, nullptr, maxRows) {
        monitor.setClock([this] { return now; });
    }
    TrafficTableModel& model() { return *monitor.model(); }
    QTableView* table() { return findControl<QTableView>(&monitor, "trafficTable"); }
    void write(const char* hex) { monitor.record(Direction::ToBoard, bytesOf(hex)); }
    void read(const QByteArray& text) { monitor.record(Direction::FromBoard, text); }

    RecordingDialogs dialogs;
    qint64 now = base();
    TrafficMonitor monitor;
};

} // namespace

class tst_TrafficMonitor : public QObject {
    Q_OBJECT
private slots:
    void sessionRows();
    void uploadFoldsAndOpens();
    void steps_data();
    void steps();
    void dropNotePastTheBound();
    void copySelectedRows();
    void saveAndReadBack_data();
    void saveAndReadBack();
    void writeErrorLosesNothing();
    void saveScript();
    void viewMenuOpensAndCloses();
};

void tst_TrafficMonitor::sessionRows() {
    WindowFixture f;
    TrafficMonitor* monitor = f.window->trafficMonitor();
    qint64 now = base();
    monitor->setClock([&] { return now; });

    f.connectWith("45!");
    f.connection()->Timer3_Timer();
    now += 2000;
    QTest::keyClicks(f.find<QWidget>("Text2"), QStringLiteral("Hi"));
    now += 3000;
    f.find<QRadioButton>("Option8")->click();
    f.find<QRadioButton>("Option10")->click();
    f.find<QLineEdit>("Text15")->setText(QStringLiteral("10"));
    f.find<QLineEdit>("Text16")->setText(QStringLiteral("20"));
    f.find<QLineEdit>("Text18")->setText(QStringLiteral("100"));
    f.find<QLineEdit>("Text19")->setText(QStringLiteral("60"));
    f.find<QPushButton>("Command23")->click();
    now += 500;
    f.port.receive("OK\r");
    f.window->session().pollTick();
    monitor->refresh();

    QCOMPARE(tableRows(*monitor->model()),
             QStringList({"to board | 49 44 | Identify", "from board | 34 35 21 | \"45!\"",
                          "to board | 10 2D | SetContrast 45",
                          "to board | 4 bytes | +PutChar × 2 in 0 ms: \"Hi\"",
                          "to board | 1F 01 0A 14 64 3C | DrawLineRect Outline 10 20 100 60",
                          "from board | 4F 4B 0D | \"OK<CR>\""}));
    // What the monitor shows is what went out, write for write.
    QByteArray recorded;
    monitor->log().forEachRow([&](const engine::TrafficRow& row) {
        if (row.direction == Direction::ToBoard)
            recorded += row.bytes;
    });
    COMPARE_HEX(recorded, f.port.allWritten());
    QCOMPARE(monitor->model()->index(3, TrafficTableModel::TimeColumn).data().toString(),
             QStringLiteral("▸ 09:15:02.000"));
}

void tst_TrafficMonitor::uploadFoldsAndOpens() {
    WindowFixture f;
    TrafficMonitor* monitor = f.window->trafficMonitor();
    engine::BoardSession& session = f.window->session();
    f.connectAndPoll();
    monitor->clear();
    qint64 ns = 0;
    session.setClock([&] { return ns; });
    monitor->setClock([&] { return base() + ns / 1'000'000; });
    engine::BoardSession::Screen screen{};
    for (std::size_t i = 0; i < screen.size(); ++i)
        screen[i] = std::uint8_t(i * 7);
    QVERIFY(session.startUpload(screen));
    while (session.uploading()) {
        ns += 100'000'000;
        session.uploadTick();
    }
    monitor->show();
    monitor->refresh();
    const QStringList rows = tableRows(*monitor->model());
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.mid(0, 3),
             QStringList({"to board | 05 00 | SetTouchMode 0", "to board | 06 00 | SetPage 0",
                          "to board | 12 00 | SetColumn 0"}));
    QVERIFY2(rows[3].startsWith("to board | 5120 bytes | +PutPattern × 2560 in "),
             qPrintable(rows[3]));

    // Right opens the fold, Left on a row inside closes it and goes back to it.
    QTableView* table = findControl<QTableView>(monitor, "trafficTable");
    table->setCurrentIndex(monitor->model()->index(3, 0));
    QTest::keyClick(table, Qt::Key_Right);
    QCOMPARE(monitor->model()->rowCount(), 4 + 2560);
    const QStringList opened = tableRows(*monitor->model());
    QCOMPARE(opened[4], QStringLiteral("to board | 03 00 |   PutPattern 0x00"));
    QCOMPARE(opened[5], QStringLiteral("to board | 03 07 |   PutPattern 0x07"));
    QCOMPARE(opened[4 + 2559], QStringLiteral("to board | 03 F9 |   PutPattern 0xF9"));
    table->setCurrentIndex(monitor->model()->index(100, 0));
    QTest::keyClick(table, Qt::Key_Left);
    QCOMPARE(monitor->model()->rowCount(), 4);
    QCOMPARE(table->currentIndex().row(), 3);
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(monitor->model()->rowCount(), 4 + 2560);
}

// Steps, separated by ";": "> HEX" a write, "< TEXT" a read, "+MS" the clock moves, "sync" the
// table catches up, "pause"/"resume", "open ROW"/"close ROW", "filter to|from|both", "clear".
void tst_TrafficMonitor::steps_data() {
    QTest::addColumn<int>("maxRows");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("shown");
    auto row = [](const char* name, int maxRows, const char* steps, QStringList shown) {
        QTest::newRow(name) << maxRows << QString::fromLatin1(steps) << shown;
    };
    const int unbounded = int(engine::TrafficLog::kDefaultMaxRows);
    row("rows wait for the next refresh", unbounded, "> 06 01; < a", {});
    row("paused view holds, rows still recorded", unbounded, "> 06 01; sync; pause; > 12 02; sync",
        {"SetPage 1"});
    row("resume shows what came meanwhile", unbounded, "> 06 01; sync; pause; > 12 02; resume",
        {"SetPage 1", "SetColumn 2"});
    row("a row joins a fold already shown", unbounded, "> 03 01; sync; > 03 02; sync",
        {"+PutPattern × 2 in 0 ms"});
    row("an opened fold grows", unbounded, "> 03 01; > 03 02; sync; open 0; +5; > 03 03; sync",
        {"-PutPattern × 3 in 5 ms", "  PutPattern 0x01", "  PutPattern 0x02", "  PutPattern 0x03"});
    row("an opened fold in the middle", unbounded, "> 06 00; > 03 01; > 03 02; < ok; sync; open 1",
        {"SetPage 0", "-PutPattern × 2 in 0 ms", "  PutPattern 0x01", "  PutPattern 0x02",
         "\"ok\""});
    row("bound drops shown rows", 2, "> 06 01; > 12 02; sync; < a; sync", {"SetColumn 2", "\"a\""});
    row("bound drops from an opened fold", 4,
        "> 03 01; > 03 02; > 03 03; sync; open 0; > 06 00; > 12 00; sync",
        {"-PutPattern × 2 in 0 ms", "  PutPattern 0x02", "  PutPattern 0x03", "SetPage 0",
         "SetColumn 0"});
    row("bound drops while paused", 2, "> 06 01; > 12 02; sync; pause; < a; sync", {"SetColumn 2"});
    row("rows dropped before they were shown", 2, "> 06 01; sync; > 06 02; < a; < b; sync",
        {"\"a\"", "\"b\""});
    row("filter to the board", unbounded, "> 06 01; < a; > 03 01; > 03 02; sync; filter to",
        {"SetPage 1", "+PutPattern × 2 in 0 ms"});
    row("filter from the board", unbounded, "> 06 01; < a; sync; filter from; < b; sync",
        {"\"a\"", "\"b\""});
    row("an opened fold stays open through filters", unbounded,
        "> 03 01; > 03 02; < a; sync; open 0; filter from; filter both",
        {"-PutPattern × 2 in 0 ms", "  PutPattern 0x01", "  PutPattern 0x02", "\"a\""});
    row("clear, then new rows", unbounded, "> 06 01; sync; clear; > 06 02; sync", {"SetPage 2"});
}

void tst_TrafficMonitor::steps() {
    QFETCH(int, maxRows);
    QFETCH(QString, steps);
    QFETCH(QStringList, shown);
    MonitorFixture f(maxRows);
    for (const QString& part : steps.split(u';')) {
        const QString step = part.trimmed();
        const QString argument = step.section(u' ', 1);
        if (step.startsWith(u'>'))
            f.monitor.record(Direction::ToBoard, QByteArray::fromHex(argument.toLatin1()));
        else if (step.startsWith(u'<'))
            f.read(argument.toLatin1());
        else if (step.startsWith(u'+'))
            f.now += step.mid(1).toLongLong();
        else if (step == u"sync")
            f.monitor.refresh();
        else if (step == u"pause")
            f.monitor.setPaused(true);
        else if (step == u"resume")
            f.monitor.setPaused(false);
        else if (step.startsWith(u"open"))
            f.model().setExpanded(argument.toInt(), true);
        else if (step.startsWith(u"close"))
            f.model().setExpanded(argument.toInt(), false);
        else if (step.startsWith(u"filter"))
            findControl<QComboBox>(&f.monitor, "directionFilter")
                ->setCurrentIndex(argument == u"to"     ? 1
                                  : argument == u"from" ? 2
                                                        : 0);
        else if (step == u"clear")
            findControl<QPushButton>(&f.monitor, "clearButton")->click();
        else
            QFAIL(qPrintable("unknown step " + step));
    }
    QCOMPARE(meanings(f.model()), shown);
}

void tst_TrafficMonitor::dropNotePastTheBound() {
    MonitorFixture f(5);
    auto* note = findControl<QLabel>(&f.monitor, "droppedLabel");
    auto* count = findControl<QLabel>(&f.monitor, "rowCountLabel");
    f.monitor.show();
    // Each a second apart, so that they do not fold.
    for (int page = 0; page < 5; ++page, f.now += 1000)
        f.write(QByteArray("06 0" + QByteArray::number(page)).constData());
    f.monitor.refresh();
    QVERIFY(note->isHidden());
    QCOMPARE(count->text(), QStringLiteral("5 rows recorded"));
    for (int page = 5; page < 8; ++page, f.now += 1000)
        f.write(QByteArray("06 0" + QByteArray::number(page)).constData());
    f.monitor.refresh();
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(),
             QStringLiteral("The oldest 3 rows were dropped; the monitor keeps the latest, up to "
                            "5 rows in 24 MB."));
    QCOMPARE(count->text(), QStringLiteral("5 rows recorded"));
    QCOMPARE(meanings(f.model()),
             QStringList({"SetPage 3", "SetPage 4", "SetPage 5", "SetPage 6", "SetPage 7"}));
    // The note goes with the rows.
    findControl<QPushButton>(&f.monitor, "clearButton")->click();
    QVERIFY(note->isHidden());
    QCOMPARE(count->text(), QStringLiteral("0 rows recorded"));
}

void tst_TrafficMonitor::copySelectedRows() {
    MonitorFixture f;
    f.write("49 44");
    f.now += 40;
    f.read("45!");
    f.now += 1000;
    f.write("03 01");
    f.now += 2;
    f.write("03 02");
    f.monitor.refresh();
    f.model().setExpanded(2, true);
    // The fold with one of its own rows, and the reply: each row once, in order.
    QTableView* table = f.table();
    table->selectionModel()->select(f.model().index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table->selectionModel()->select(f.model().index(2, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table->selectionModel()->select(f.model().index(4, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("09:15:00.040  <-  34 35 21           \"45!\"\n"
                            "09:15:01.040  ->  03 01              PutPattern 0x01\n"
                            "09:15:01.042  ->  03 02              PutPattern 0x02\n"));
}

void tst_TrafficMonitor::saveAndReadBack_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text") << "trace.txt" << 0
                          << "2024-05-02 09:15:00.000  ->  49 44              Identify\n"
                             "2024-05-02 09:15:00.040  <-  34 35 2C 22 21 0D  \"45,\"!<CR>\"\n"
                             "2024-05-02 09:15:01.040  ->  26 48 69 0D        BeginString \"Hi\"\n";
    QTest::newRow("csv by its suffix")
        << "trace.CSV" << 0
        << "time,direction,bytes,meaning\n"
           "2024-05-02 09:15:00.000,to board,49 44,Identify\n"
           "2024-05-02 09:15:00.040,from board,34 35 2C 22 21 0D,\"\"\"45,\"\"!<CR>\"\"\"\n"
           "2024-05-02 09:15:01.040,to board,26 48 69 0D,\"BeginString \"\"Hi\"\"\"\n";
    QTest::newRow("what the filter shows")
        << "replies.txt" << 2 << "2024-05-02 09:15:00.040  <-  34 35 2C 22 21 0D  \"45,\"!<CR>\"\n";
    QTest::newRow("no suffix is text")
        << "trace" << 1
        << "2024-05-02 09:15:00.000  ->  49 44              Identify\n"
           "2024-05-02 09:15:01.040  ->  26 48 69 0D        BeginString "
           "\"Hi\"\n";
}

void tst_TrafficMonitor::saveAndReadBack() {
    QFETCH(QString, fileName);
    QFETCH(int, filter);
    QFETCH(QString, expected);
    MonitorFixture f;
    f.write("49 44");
    f.now += 40;
    f.read("45,\"!\r");
    f.now += 1000;
    f.monitor.setPaused(true); // saving takes every row recorded, shown yet or not
    f.write("26 48 69 0D");
    findControl<QComboBox>(&f.monitor, "directionFilter")->setCurrentIndex(filter);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    f.dialogs.saveFileNames.enqueue(path);
    findControl<QPushButton>(&f.monitor, "saveButton")->click();
    QCOMPARE(f.dialogs.saveFileFilters, QStringList({"Text (*.txt);;CSV (*.csv)"}));
    QVERIFY(f.dialogs.messages.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QCOMPARE(QString::fromUtf8(file.readAll()), expected);
}

void tst_TrafficMonitor::writeErrorLosesNothing() {
    MonitorFixture f;
    f.write("49 44");
    f.monitor.refresh();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/trace.txt"));
    f.dialogs.saveFileNames.enqueue(path);
    findControl<QPushButton>(&f.monitor, "saveButton")->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Error"));
    QCOMPARE(f.dialogs.messages[0].style, MessageStyle::CriticalOk);
    QVERIFY2(f.dialogs.messages[0].text.startsWith("The file " + path + " could not be written: "),
             qPrintable(f.dialogs.messages[0].text));
    QCOMPARE(f.monitor.log().rowCount(), 1);
    QCOMPARE(meanings(f.model()), QStringList({"Identify"}));
    // Cancelling the dialog writes nothing and says nothing.
    findControl<QPushButton>(&f.monitor, "saveButton")->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
}

void tst_TrafficMonitor::saveScript() {
    MonitorFixture f;
    auto* button = findControl<QPushButton>(&f.monitor, "saveScriptButton");
    f.read("stray");
    button->click(); // nothing sent yet: said so, no dialog
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.saveFileFilters.isEmpty());

    f.write("49 44");
    f.now += 40;
    f.read("45!");
    f.now += 20;
    f.write("10 2D");
    f.now += 3000;
    f.write("0A 01");
    f.write("05 07");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.txt"));
    f.dialogs.saveFileNames.enqueue(path);
    button->click();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QVERIFY2(lines[0].startsWith("# vantrelctl script saved by the Vantrel traffic monitor on "),
             qPrintable(lines[0]));
    QCOMPARE(lines.mid(2),
             QStringList({"# 09:15:00.000",
                          "# identify (the connection's detection; vantrelctl "
                          "detects by itself)",
                          "contrast 45", "# 09:15:03.060, 3.000 s later", "pixel 5 7", ""}));
}

void tst_TrafficMonitor::viewMenuOpensAndCloses() {
    WindowFixture f;
    QAction* action = f.find<QAction>("mnuTrafficMonitor");
    TrafficMonitor* monitor = f.window->trafficMonitor();
    QCOMPARE(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+T")));
    QVERIFY(action->isCheckable());
    QVERIFY(!monitor->isVisible());
    f.window->show();
    action->trigger();
    QVERIFY(monitor->isVisible());
    QVERIFY(action->isChecked());
    QCOMPARE(monitor->windowTitle(), QStringLiteral("Traffic Monitor"));
    QVERIFY(monitor->isWindow());
    action->trigger();
    QVERIFY(!monitor->isVisible());
    QVERIFY(!action->isChecked());
    // Closing the window itself clears the check mark.
    action->trigger();
    monitor->close();
    QVERIFY(!action->isChecked());
    // Traffic is recorded while the window is closed.
    f.connectWith("45!");
    QCOMPARE(monitor->log().entry(0).first().meaning, QStringLiteral("Identify"));
}

QTEST_MAIN(tst_TrafficMonitor)
#include "tst_trafficmonitor.moc"
