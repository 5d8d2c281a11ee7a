// The virtual board and the programs meet through the user's runtime folder, with no
// VANTREL_COM<n>: the built vantrel-board announces itself, the port watcher and `vantrelctl
// ports` list it, and it goes when the board ends. Announcements that are stale or not ours are
// passed over. Every run uses a runtime folder of its own.
#include "serial/PortWatcher.h"
#include "support/ProgramRun.h"
#include "support/PtyPair.h"
#include "system/AnnouncedBoards.h"
#include "system/BoardAnnouncement.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kHangMs = 60000; // bounds a hang only

QProcessEnvironment environmentIn(const QString& runtimeFolder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys())
        if (name.startsWith(QStringLiteral("VANTREL_COM")))
            environment.remove(name);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    return environment;
}

QString portsListed(const QProcessEnvironment& environment) {
    QProcess ctl;
    ctl.setProcessEnvironment(environment);
    ctl.start(QStringLiteral(VANTRELCTL_PATH), {QStringLiteral("ports")});
    return QString::fromLocal8Bit(waitFor(ctl, kHangMs).out);
}

QStringList boardsOf(const PortWatcher& watcher) {
    QStringList labels;
    for (const PortEntry& entry : watcher.ports())
        if (entry.virtualBoard)
            labels << entry.label().section(QStringLiteral("  "), 1);
    return labels;
}

} // namespace

class tst_AnnouncedBoards : public QObject {
    Q_OBJECT
private slots:
    void boardAndPortsFindEachOther();
    void strayAnnouncementsArePassedOver_data();
    void strayAnnouncementsArePassedOver();
};

void tst_AnnouncedBoards::boardAndPortsFindEachOther() {
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    const QProcessEnvironment environment = environmentIn(runtime.path());
    PortMap::System system;
    system.environment = environment;
    PortWatcher watcher(system);
    QVERIFY(boardsOf(watcher).isEmpty());

    QProcess board;
    board.setProcessEnvironment(environment);
    board.start(QStringLiteral(VANTREL_BOARD_PATH), {QStringLiteral("--headless")});
    QVERIFY(board.waitForStarted(kHangMs));
    QTRY_VERIFY_WITH_TIMEOUT(board.canReadLine(), kHangMs);
    const QString device = QString::fromLocal8Bit(board.readLine()).trimmed();
    const QString shown = QStringLiteral("Virtual board  ") + device;

    QTRY_COMPARE_WITH_TIMEOUT(boardsOf(watcher), QStringList{shown}, kHangMs);
    QVERIFY2(portsListed(environment)
                 .contains(QRegularExpression("^\\d+  " + shown + "$",
                                              QRegularExpression::MultilineOption)),
             qPrintable(portsListed(environment)));
    // Named by VANTREL_COM1 as well (as under make run), it is listed once, as port 1.
    QProcessEnvironment named = environment;
    named.insert(QStringLiteral("VANTREL_COM1"), device);
    QCOMPARE(portsListed(named).count(QStringLiteral("Virtual board")), 1);
    QVERIFY(portsListed(named).startsWith(QStringLiteral("1  ") + shown + u'\n'));

    board.terminate();
    QCOMPARE(waitFor(board, kHangMs).exitCode, 0);
    QTRY_VERIFY_WITH_TIMEOUT(boardsOf(watcher).isEmpty(), kHangMs);
    QVERIFY(!portsListed(environment).contains(QStringLiteral("Virtual board")));
}

// An announcement in a folder laid out as `folderMode` (or, with -1, a link to such a folder).
void tst_AnnouncedBoards::strayAnnouncementsArePassedOver_data() {
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<QString>("name");   // "<pid>": this live process
    QTest::addColumn<QString>("target"); // "<pty>": a real pseudo-terminal; empty: a plain file
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("kept");

    QTest::newRow("live board") << 0700 << "<pid>"
                                << "<pty>" << true << true;
    QTest::newRow("process gone") << 0700 << "2147483647"
                                  << "<pty>" << false << false;
    QTest::newRow("not a terminal") << 0700 << "<pid>"
                                    << "/dev/null" << false << true;
    QTest::newRow("a file") << 0700 << "<pid>"
                            << "/etc/passwd" << false << true;
    QTest::newRow("no link") << 0700 << "<pid>"
                             << "" << false << true;
    QTest::newRow("not a process id") << 0700 << "board"
                                      << "<pty>" << false << true;
    QTest::newRow("folder open to others") << 0777 << "<pid>"
                                           << "<pty>" << false << true;
    QTest::newRow("folder is a link") << -1 << "<pid>"
                                      << "<pty>" << false << true;
}

void tst_AnnouncedBoards::strayAnnouncementsArePassedOver() {
    QFETCH(int, folderMode);
    QFETCH(QString, name);
    QFETCH(QString, target);
    QFETCH(bool, listed);
    QFETCH(bool, kept);
    PtyPair pty;
    QTemporaryDir runtime;
    QVERIFY(pty.isValid() && runtime.isValid());
    const QString folder = AnnouncedBoards::folder(environmentIn(runtime.path()));
    const QString real = folderMode < 0 ? runtime.filePath(QStringLiteral("elsewhere")) : folder;
    const QString parent = QFileInfo(folder).path();
    QVERIFY(QDir().mkpath(real) && QDir().mkpath(parent));
    QVERIFY(::chmod(QFile::encodeName(parent).constData(), 0700) == 0);
    QVERIFY(::chmod(QFile::encodeName(real).constData(), folderMode < 0 ? 0700 : folderMode) == 0);
    if (folderMode < 0)
        QVERIFY(QFile::link(real, folder));
    const QString link = folder + u'/' + name.replace("<pid>", QString::number(::getpid()));
    target.replace(QStringLiteral("<pty>"), pty.slavePath());
    QVERIFY(target.isEmpty() ? QFile(link).open(QIODevice::WriteOnly) : QFile::link(target, link));

    const QList<AnnouncedBoards::Board> boards = AnnouncedBoards::live(folder);
    QCOMPARE(boards.size(), listed ? 1 : 0);
    if (listed)
        QCOMPARE(boards.first().device, pty.slavePath());
    QCOMPARE(QFileInfo(link).isSymLink() || QFileInfo(link).isFile(), kept);
    if (folderMode != 0700) // a board does not announce itself in a folder that is not ours
        QVERIFY(!BoardAnnouncement().announce(folder, pty.slavePath()));
}

QTEST_MAIN(tst_AnnouncedBoards)
#include "tst_announcedboards.moc"
