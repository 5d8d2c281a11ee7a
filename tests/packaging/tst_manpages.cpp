// Each program's man page and its --help list the same options and the same exit statuses,
// read from the real --help output and the page's source, so that neither can go ahead alone.
// -V prints what --version prints, in all three programs.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

using Words = QSet<QString>;

QString helpOf(const QString& program, const QString& option = QStringLiteral("--help")) {
    QProcess process;
    process.start(program, {option});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The first group of each match of `pattern`; `squeezed`: without blanks ("128+ N").
Words matches(const QString& text, const QString& pattern, bool squeezed = false) {
    Words words;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(text))
        words << (squeezed ? m.captured(1).remove(u' ') : m.captured(1));
    return words;
}

const QString kOption = QStringLiteral("(?:^|[ ,\"])(--?[A-Za-z][\\w-]*)");
// "128+N" and whole numbers; "Ctrl+C" and "SIGTERM" have none.
const QString kStatus = QStringLiteral("(?<![\\w+])(\\d+(?: ?\\+ ?N)?)(?![\\w])");

// The options in the first column of the "Options:" block; the statuses after "Exit status:".
Words helpOptions(const QString& help) {
    const QString block = help.section(QStringLiteral("\nOptions:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    Words words;
    for (const QString& line : block.split(u'\n'))
        if (line.startsWith(QStringLiteral("  -")))
            words += matches(line.trimmed().section(QStringLiteral("  "), 0, 0), kOption);
    return words;
}

Words helpStatuses(const QString& help) {
    return matches(help.section(QStringLiteral("Exit status:"), 1).section(QStringLiteral("\n\n"), 0, 0),
                   kStatus, true);
}

// A section of the page as text: no escapes, no font changes, no macro names.
QString manSection(const QString& page, const QString& name) {
    QString text = page.section(QStringLiteral("\n.SH ") + name + u'\n', 1).section(QStringLiteral("\n.SH "), 0, 0);
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]|\\\\\\(..|\\\\&")));
    return text;
}

// The options named on the line after each .TP of OPTIONS.
Words manOptions(const QString& page) {
    Words words;
    for (const QString& tagged : matches(manSection(page, QStringLiteral("OPTIONS")),
                                         QStringLiteral("^\\.TP\\n(.*)$")))
        words += matches(tagged, kOption);
    return words;
}

Words manStatuses(const QString& page) {
    QString text = manSection(page, QStringLiteral("EXIT STATUS"));
    text.remove(QRegularExpression(QStringLiteral("^\\.[A-Z]+ ?"),
                                   QRegularExpression::MultilineOption));
    return matches(text.remove(u'"'), kStatus, true);
}

} // namespace

class tst_ManPages : public QObject {
    Q_OBJECT
private slots:
    void helpAndManPageAgree_data();
    void helpAndManPageAgree();
};

void tst_ManPages::helpAndManPageAgree_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("page");
    QTest::newRow("vantrel") << VANTREL_PATH << "vantrel";
    QTest::newRow("vantrel-board") << VANTREL_BOARD_PATH << "vantrel-board";
    QTest::newRow("vantrelctl") << VANTRELCTL_PATH << "vantrelctl";
}

void tst_ManPages::helpAndManPageAgree() {
    QFETCH(QString, program);
    QFETCH(QString, page);
    QFile file(QStringLiteral(VANTREL_SOURCE_DIR "/packaging/man/%1.1.in").arg(page));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString man = QString::fromUtf8(file.readAll());
    const QString help = helpOf(program);
    QVERIFY2(!help.isEmpty(), "--help failed");

    const Words options = helpOptions(help);
    QVERIFY2(options.contains(QStringLiteral("--help")), qPrintable(help));
    QCOMPARE(manOptions(man), options);
    const Words statuses = helpStatuses(help);
    QVERIFY2(statuses.contains(QStringLiteral("0")), qPrintable(help));
    QCOMPARE(manStatuses(man), statuses);

    const QString version = helpOf(program, QStringLiteral("--version"));
    QVERIFY(version.contains(QRegularExpression(QStringLiteral("^[\\w-]+ \\d+\\.\\d+"))));
    QCOMPARE(helpOf(program, QStringLiteral("-V")), version);
}

QTEST_GUILESS_MAIN(tst_ManPages)
#include "tst_manpages.moc"
