// What a shell user reads and types: each program's --help and man page list the same options
// and exit statuses (from the real --help and the page's source), -V is --version, and the
// completions offer the command table's commands (bash run in bash with bash-completion).
#include "ctl/CommandParser.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSource = QStringLiteral(VANTREL_SOURCE_DIR "/packaging/");
const QString kBashCompletion = QStringLiteral("/usr/share/bash-completion/bash_completion");
const QString kOption = QStringLiteral("(?:^|[ ,])(--?[A-Za-z][\\w-]*)");
const QString kStatus = QStringLiteral("(?<![\\w+])(\\d+(?:\\+ ?N)?)(?!\\w)"); // 2, 128+N

QString output(const QString& program, const QStringList& arguments, const QString& dir = {}) {
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
}

// The first group of each match, sorted and once each.
QStringList matches(const QString& text, const QString& pattern) {
    QStringList words;
    for (const auto& m :
         QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(text))
        words << m.captured(1).replace(QStringLiteral("+ "), QStringLiteral("+"));
    words.sort();
    words.removeDuplicates();
    return words;
}

// The first column of the "Options:" block of --help: no continued lines, no descriptions.
QStringList helpOptions(const QString& program) {
    QString block = output(program, {QStringLiteral("--help")}).section("\nOptions:\n", 1);
    block = block.section(QStringLiteral("\n\n"), 0, 0);
    return matches(block.remove(QRegularExpression(QStringLiteral("^(?!  -).*$|(?<=\\S)  +\\S.*"),
                                                   QRegularExpression::MultilineOption)),
                   kOption);
}

// A section of a man page without quotes, escapes and font changes.
QString manSection(const QString& page, const QString& name) {
    QString text = page.section("\n.SH " + name + u'\n', 1).section(QStringLiteral("\n.SH "), 0, 0);
    text.replace(QStringLiteral("\\-"), QStringLiteral("-")).remove(u'"');
    return text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]|\\\\\\(..|\\\\&")));
}

} // namespace

class tst_ShellFacing : public QObject {
    Q_OBJECT
private slots:
    void helpAndManPageAgree_data();
    void helpAndManPageAgree();
    void bashCompletes_data();
    void bashCompletes();
};

void tst_ShellFacing::helpAndManPageAgree_data() {
    QTest::addColumn<QString>("program");
    QTest::newRow("vantrel") << VANTREL_PATH;
    QTest::newRow("vantrel-board") << VANTREL_BOARD_PATH;
    QTest::newRow("vantrelctl") << VANTRELCTL_PATH;
}

void tst_ShellFacing::helpAndManPageAgree() {
    QFETCH(QString, program);
    QFile file(kSource + QStringLiteral("man/%1.1.in").arg(QTest::currentDataTag()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(file.readAll());
    QStringList tagged = matches(manSection(page, QStringLiteral("OPTIONS")), "^\\.TP\\n(.*)$");
    QCOMPARE(matches(tagged.join(u'\n'), kOption), helpOptions(program));

    const QString help = output(program, {QStringLiteral("--help")});
    const QStringList statuses =
        matches(help.section("Exit status:", 1).section(QStringLiteral("\n\n"), 0, 0), kStatus);
    QVERIFY2(statuses.contains(QStringLiteral("0")), qPrintable(help));
    QString exit = manSection(page, QStringLiteral("EXIT STATUS"));
    exit.remove(
        QRegularExpression(QStringLiteral("^\\.[A-Z]+"), QRegularExpression::MultilineOption));
    QCOMPARE(matches(exit, kStatus), statuses);

    const QString version = output(program, {QStringLiteral("--version")});
    QVERIFY2(version.contains(QRegularExpression("^[\\w-]+ \\d+\\.\\d+\\S*\\n$")),
             qPrintable(version));
    QCOMPARE(output(program, {QStringLiteral("-V")}), version);
}

void tst_ShellFacing::bashCompletes_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected"); // sorted; {} the command table's commands
    QTest::newRow("commands") << "vantrelctl " << QStringList();
    QTest::newRow("the next command") << "vantrelctl -n -b 2400 clear -- " << QStringList();
    QTest::newRow("options") << "vantrelctl -" << helpOptions(VANTRELCTL_PATH);
    QTest::newRow("rates after -b") << "vantrelctl -b 1" << QStringList{"115200", "14400", "19200"};
    QTest::newRow("port numbers") << "vantrelctl -p 1"
                                  << QStringList{"1", "10", "11", "12", "13", "14", "15", "16"};
    QTest::newRow("files after picture")
        << "vantrelctl picture " << QStringList{"-", "logo.png", "notes.txt", "sub"};
    QTest::newRow("files after convert") << "vantrelctl convert n" << QStringList{"notes.txt"};
}

void tst_ShellFacing::bashCompletes() {
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    QFile zsh(kSource + QStringLiteral("completion/_vantrelctl"));
    QVERIFY(zsh.open(QIODevice::ReadOnly));
    const QString zshWords = QString::fromUtf8(zsh.readAll());
    if (!QFile::exists(kBashCompletion))
        QSKIP("bash-completion is not installed (scripts/setup.sh --test installs it)");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    for (const char* name : {"logo.png", "notes.txt"})
        QVERIFY(QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly));
    // The words as readline splits them, then the function `complete` names for vantrelctl.
    const QString script =
        QStringLiteral(
            "source %1 && source %2 || exit; LINE='%3'; eval \"COMP_WORDS=($LINE)\"\n"
            "[[ $LINE == *' ' ]] && COMP_WORDS+=(''); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
            "COMP_LINE=$LINE; COMP_POINT=${#LINE}; $(complete -p vantrelctl | "
            "sed -E 's/.*-F ([^ ]+).*/\\1/') vantrelctl \"${COMP_WORDS[COMP_CWORD]}\" "
            "\"${COMP_WORDS[COMP_CWORD-1]}\"; printf '%s\\n' \"${COMPREPLY[@]}\"")
            .arg(kBashCompletion, kSource + "completion/vantrelctl.bash", line);
    const QStringList words =
        matches(output("bash", {"--norc", "-c", script}, dir.path()), "^(.+)$");
    if (!expected.isEmpty()) {
        QCOMPARE(words, expected);
        return;
    }
    for (const ctl::CommandEntry& entry : ctl::CommandParser::entries()) {
        QVERIFY2(words.contains(QLatin1String(entry.name)), entry.name);
        QVERIFY2(zshWords.contains(QStringLiteral("\n  '%1:").arg(entry.name)), entry.name);
    }
}

QTEST_GUILESS_MAIN(tst_ShellFacing)
#include "tst_shellfacing.moc"
