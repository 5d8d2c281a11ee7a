// vantrelctl given what it must refuse from outside: output that cannot be written, input that
// cannot be read or is no command file, a port path that loops, libraries that warn. Each runs
// the built program from a shell, as a user's command line would.
#include "ProgramRun.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

class tst_CtlRefusals : public QObject {
    Q_OBJECT
private slots:
    void refusedFromOutside_data();
    void refusedFromOutside();
};

void tst_CtlRefusals::refusedFromOutside_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("errStart");
    const auto row = [](const char* name, const char* command, int exitCode, const char* out,
                        const char* errStart) {
        QTest::newRow(name) << QString::fromLatin1(command) << exitCode << QByteArray(out)
                            << QByteArray(errStart);
    };
    const char* full = "vantrelctl: cannot write standard output: no space left on device\n";
    row("dry run to a full disk", "vantrelctl --dry-run clear > /dev/full", 1, "", full);
    row("help to a full disk", "vantrelctl --help > /dev/full", 1, "", full);
    row("version to a full disk", "vantrelctl --version > /dev/full", 1, "", full);
    row("output closed", "vantrelctl --dry-run clear >&-", 1, "",
        "vantrelctl: cannot write standard output: bad file descriptor\n");
    row("input closed", "vantrelctl --dry-run script - <&-", 2, "",
        "vantrelctl: script: cannot read standard input: it is closed\n");
    row("input a folder", "vantrelctl --dry-run script - < .", 2, "",
        "vantrelctl: script: cannot read standard input: is a directory\n");
    row("input over 16 MB", "yes clear | head -c 16777217 | vantrelctl --dry-run script -", 2, "",
        "vantrelctl: script: cannot read standard input: it holds more than 16 MB");
    row("script a named pipe", "vantrelctl --dry-run script fifo", 2, "",
        "vantrelctl: script: cannot read fifo: it is a named pipe, not a file\n");
    row("script a terminal", "vantrelctl --dry-run script /dev/ptmx", 2, "",
        "vantrelctl: script: cannot read /dev/ptmx: it is a character device");
    row("script in Latin-1", "vantrelctl --dry-run script latin1.txt", 2, "",
        "vantrelctl: script: latin1.txt line 2: the file is not UTF-8 text");
    row("control bytes shown escaped", "printf 'blink\\001\\000x' | vantrelctl --dry-run script -",
        2, "", "vantrelctl: script: standard input line 1: unknown command \"blink\\x01\\x00x\"\n");
    row("picture missing", "vantrelctl -n picture logo.png", 2, "",
        "vantrelctl: picture: cannot read logo.png: no such file or directory\n");
    row("picture from a pipe as from its file",
        "vantrelctl -n picture warn.png > a && cat warn.png | vantrelctl -n picture - | cmp - a "
        "&& echo same",
        0, "same\n", "");
    row("standard input read twice", "printf clear | vantrelctl -n script - -- picture -", 2, "",
        "vantrelctl: picture: cannot read standard input: one command has read it\n");
    row("port a loop of links", "vantrelctl --port ./loop clear", 3, "",
        "vantrelctl: the serial device ./loop cannot be reached: its symbolic links form a loop\n");
    row("library warning held back", "vantrelctl --dry-run picture warn.png -- circle 1 2 300", 2,
        "", "vantrelctl: ");
    row("library warning with --verbose",
        "vantrelctl --verbose --dry-run picture warn.png -- circle 1 2 300", 2, "",
        "qt.gui.imageio: libpng warning: tEXt: CRC error\n");
    row("ports lists devices only",
        "VANTREL_COM1=$PWD/fifo VANTREL_COM2=$PWD VANTREL_COM3=$PWD/latin1.txt vantrelctl ports "
        "| grep -c \"$PWD\"",
        1, "0\n", "vantrelctl: port 1 is left out: ");
}

void tst_CtlRefusals::refusedFromOutside() {
    QFETCH(QString, command);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, errStart);
    QTemporaryDir dir;
    QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600) ==
            0);
    QVERIFY(QFile::link(QStringLiteral("loop"), dir.filePath(QStringLiteral("loop"))));
    QFile latin1(dir.filePath(QStringLiteral("latin1.txt")));
    QVERIFY(latin1.open(QIODevice::WriteOnly) && latin1.write("clear\ntext caf\xE9\n") > 0);
    // A PNG whose text chunk fails its checksum: libpng warns, and the picture loads.
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setText(QStringLiteral("Title"), QStringLiteral("warn"));
    QBuffer png;
    QVERIFY(png.open(QIODevice::WriteOnly) && image.save(&png, "PNG"));
    png.buffer()[png.data().indexOf("tEXt") + 4] = 't';
    QFile warn(dir.filePath(QStringLiteral("warn.png")));
    QVERIFY(warn.open(QIODevice::WriteOnly) && warn.write(png.data()) > 0);
    latin1.close();
    warn.close();

    const Finished f = runInShell(command, dir.path());
    QVERIFY2(f.exitCode == exitCode, qPrintable(explain(f)));
    QCOMPARE(f.out, out);
    QVERIFY2(f.err.startsWith(errStart), f.err.constData());
}

QTEST_GUILESS_MAIN(tst_CtlRefusals)
#include "tst_ctlrefusals.moc"
