// The built vantrel-board and the programs meet through a runtime folder of their own, with no
// VANTREL_COM<n>: the port watcher and `vantrelctl ports` list the board, and it goes when the
// board ends. Announcements that are stale or not ours are passed over.
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
            labels << entry.label();
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
    const QProcessEnvironment environment = environmentIn(runtime.path());
    PortWatcher watcher(PortMap::System{.environment = environment});
    QProcess board;
    board.setProcessEnvironment(environment);
    board.start(QStringLiteral(VANTREL_BOARD_PATH), {QStringLiteral("--headless")});
    QTRY_VERIFY_WITH_TIMEOUT(board.canReadLine(), kHangMs);
    const QString shown = "  Virtual board  " + QString::fromLocal8Bit(board.readLine()).trimmed();

    QTRY_COMPARE_WITH_TIMEOUT(boardsOf(watcher).size(), 1, kHangMs);
    QVERIFY2(boardsOf(watcher).first().endsWith(shown), qPrintable(boardsOf(watcher).first()));
    QVERIFY(portsListed(environment).split(u'\n').contains(boardsOf(watcher).first()));
    // Named by VANTREL_COM1 as well (as under make run), it is listed once, as port 1.
    QProcessEnvironment named = environment;
    named.insert(QStringLiteral("VANTREL_COM1"), shown.section(u' ', -1));
    const QString namedList = portsListed(named);
    QVERIFY2(namedList.startsWith("1" + shown + "\n") && namedList.count(shown) == 1,
             qPrintable(namedList));

    board.terminate();
    QCOMPARE(waitFor(board, kHangMs).exitCode, 0);
    QTRY_VERIFY_WITH_TIMEOUT(boardsOf(watcher).isEmpty(), kHangMs);
    QVERIFY(!portsListed(environment).contains(shown));
}

void tst_AnnouncedBoards::strayAnnouncementsArePassedOver_data() {
    QTest::addColumn<int>("folderMode"); // -1: the folder is a link to a private one
    QTest::addColumn<QString>("name");   // "<pid>": this live process
    QTest::addColumn<QString>("target"); // "<pty>": a pseudo-terminal; empty: a plain file
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("kept");
    QTest::newRow("live board") << 0700 << "<pid>"
                                << "<pty>" << true << true;
    QTest::newRow("process gone") << 0700 << "4194305"
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
    const QString folder = AnnouncedBoards::folder(environmentIn(runtime.path()));
    const QString real = folderMode < 0 ? runtime.filePath(QStringLiteral("elsewhere")) : folder;
    const QString parent = QFileInfo(folder).path();
    QVERIFY(QDir().mkpath(real) && QDir().mkpath(parent) && pty.isValid());
    QVERIFY(::chmod(QFile::encodeName(parent).constData(), 0700) == 0);
    QVERIFY(::chmod(QFile::encodeName(real).constData(), folderMode < 0 ? 0700 : folderMode) == 0);
    QVERIFY(folderMode >= 0 || QFile::link(real, folder));
    const QString link = folder + u'/' + name.replace("<pid>", QString::number(::getpid()));
    target.replace(QStringLiteral("<pty>"), pty.slavePath());
    QVERIFY(target.isEmpty() ? QFile(link).open(QIODevice::WriteOnly) : QFile::link(target, link));

    const QList<AnnouncedBoards::Board> boards = AnnouncedBoards::live(folder);
    QCOMPARE(boards.size(), listed ? 1 : 0);
    QVERIFY(!listed || boards.first().device == pty.slavePath());
    QCOMPARE(QFileInfo(link).isSymLink() || QFileInfo(link).isFile(), kept);
    // A board does not announce itself in a folder that is not ours either.
    QCOMPARE(BoardAnnouncement().announce(folder, pty.slavePath()),
             folderMode == 0700 && !target.isEmpty());
}

QTEST_MAIN(tst_AnnouncedBoards)
#include "tst_announcedboards.moc"
