// vantrelctl's bash completion run in a real bash with bash-completion, and both completions
// checked against the command table, so that a new command cannot be left out of them.
#include "ctl/CommandParser.h"
#include "ctl/HelpText.h"
#include "protocol/BaudRates.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kBashCompletion = QStringLiteral("/usr/share/bash-completion/bash_completion");
const QString kSource = QStringLiteral(VANTREL_SOURCE_DIR "/packaging/completion/");

// What the completion offers when the cursor is at the end of `line`, typed in `dir`.
QStringList offered(const QString& line, const QString& dir) {
    // The words as readline splits them, with an empty current word after a blank.
    const QString script = QStringLiteral(
        "source %1 && source %2 || exit 3\n"
        "COMP_LINE=$LINE; COMP_POINT=${#LINE}; eval \"COMP_WORDS=($LINE)\"\n"
        "[[ $LINE == *' ' ]] && COMP_WORDS+=('')\n"
        "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
        "$(complete -p vantrelctl | sed -E 's/.*-F ([^ ]+).*/\\1/') vantrelctl "
        "\"${COMP_WORDS[COMP_CWORD]}\" \"${COMP_WORDS[COMP_CWORD-1]}\"\n"
        "printf '%s\\n' \"${COMPREPLY[@]}\"\n")
                               .arg(kBashCompletion, kSource + QStringLiteral("vantrelctl.bash"));
    QProcess bash;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LINE"), line);
    bash.setProcessEnvironment(environment);
    bash.setWorkingDirectory(dir);
    bash.start(QStringLiteral("bash"), {QStringLiteral("--norc"), QStringLiteral("--noprofile"),
                                        QStringLiteral("-c"), script});
    if (!bash.waitForFinished(30000) || bash.exitCode() != 0)
        return {QStringLiteral("bash failed: ") + QString::fromLocal8Bit(bash.readAllStandardError())};
    QStringList words = QString::fromLocal8Bit(bash.readAllStandardOutput()).split(u'\n');
    words.removeAll(QString());
    words.sort();
    return words;
}

QStringList tableCommands() {
    QStringList names;
    for (const ctl::CommandEntry& entry : ctl::CommandParser::entries())
        names << QLatin1String(entry.name);
    return names;
}

// The options --help lists, as the words typed ("-p", "--port").
QStringList helpOptions() {
    const QString help = ctl::HelpText::overview();
    const QString options = help.section(QStringLiteral("Options:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    static const QRegularExpression option(QStringLiteral("^  (-[^ ,]*(?:, -[^ ,]*)*)"),
                                           QRegularExpression::MultilineOption);
    QStringList words;
    for (const QRegularExpressionMatch& m : option.globalMatch(options))
        words << m.captured(1).split(QStringLiteral(", "));
    words.sort();
    return words;
}

} // namespace

class tst_Completion : public QObject {
    Q_OBJECT
private slots:
    void bashOffers_data();
    void bashOffers();
    void zshKnowsEveryCommand();
};

void tst_Completion::bashOffers_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected"); // all of them, and only they (with `exactly`)
    QTest::addColumn<bool>("exactly");
    QStringList rates = protocol::rateTexts();
    rates.sort();
    QTest::newRow("commands") << "vantrelctl " << tableCommands() << false;
    QTest::newRow("commands after options") << "vantrelctl -n -b 2400 " << tableCommands() << false;
    QTest::newRow("the next command") << "vantrelctl clear -- " << tableCommands() << false;
    QTest::newRow("options") << "vantrelctl -" << helpOptions() << true;
    QTest::newRow("rates after -b") << "vantrelctl -b " << rates << true;
    QTest::newRow("rates after --rate") << "vantrelctl --rate 1" << QStringList{"115200", "14400", "19200"} << true;
    QTest::newRow("port numbers") << "vantrelctl -p 1"
                                  << QStringList{"1", "10", "11", "12", "13", "14", "15", "16"}
                                  << true;
    QTest::newRow("files after picture")
        << "vantrelctl picture " << QStringList{"-", "logo.png", "notes.txt", "sub"} << true;
    QTest::newRow("files after script") << "vantrelctl -n script no" << QStringList{"notes.txt"} << true;
    QTest::newRow("files after convert") << "vantrelctl convert l" << QStringList{"logo.png"} << true;
    QTest::newRow("dithering") << "vantrelctl picture logo.png --dither b"
                               << QStringList{"bayer4", "bayer8"} << true;
    QTest::newRow("no options after a command") << "vantrelctl pixel 1 -" << QStringList{"--"} << true;
}

void tst_Completion::bashOffers() {
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    QFETCH(bool, exactly);
    if (!QFile::exists(kBashCompletion))
        QSKIP("bash-completion is not installed (scripts/setup.sh --test installs it)");
    QTemporaryDir dir;
    for (const char* name : {"logo.png", "notes.txt"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));

    const QStringList words = offered(line, dir.path());
    if (exactly) {
        QCOMPARE(words, expected);
        return;
    }
    for (const QString& word : expected)
        QVERIFY2(words.contains(word), qPrintable(word + QStringLiteral(" is not offered: ") +
                                                  words.join(u' ')));
}

void tst_Completion::zshKnowsEveryCommand() {
    QFile file(kSource + QStringLiteral("_vantrelctl"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& name : tableCommands())
        QVERIFY2(text.contains(QStringLiteral("\n  '%1:").arg(name)), qPrintable(name));
    for (const QString& option : helpOptions())
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("[{,']%1[+=,}\\[]")
                                                      .arg(QRegularExpression::escape(option)))),
                 qPrintable(option));
}

QTEST_GUILESS_MAIN(tst_Completion)
#include "tst_completion.moc"
