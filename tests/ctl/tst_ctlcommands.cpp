// vantrelctl's command line without a board: what each command sends (as --dry-run prints it),
// what is refused before anything is sent, how command files are read, the progress line.
#include "ctl/CommandLine.h"
#include "ctl/ProgressBar.h"
#include "ctl/ScriptReader.h"
#include "protocol/CommandTable.h"
#include "protocol/CommandWords.h"
#include "support/DryRunOf.h"
#include "support/HexCompare.h"
#include "support/TestBitmaps.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The dry run of a command line, one message per line, as hex texts joined with " | ".
QByteArray dryRun(const QStringList& arguments, QString* error = nullptr,
                  const QByteArray& standardInput = {}) {
    ctl::CommandParser parser([standardInput](qint64) {
        return ctl::ScriptBytes{standardInput, {}};
    });
    const ctl::ParsedCommandLine parsed = ctl::CommandLine::parse(arguments, parser);
    if (error)
        *error = parsed.error;
    if (!parsed.ok())
        return "refused";
    return dryRunOf(parsed.invocation).join(QStringLiteral(" | ")).toLatin1();
}

QByteArray writesText(const char* hexWrites) {
    QByteArrayList parts;
    for (const QByteArray& w : writesOf(hexWrites))
        parts << hexOf(w);
    return parts.join(" | ");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class tst_CtlCommands : public QObject {
    Q_OBJECT
private slots:
    void sendsTheWindowsBytes_data();
    void sendsTheWindowsBytes();
    void refusedBeforeAnythingIsSent_data();
    void refusedBeforeAnythingIsSent();
    void shortOptionsAreTheLongOnes_data();
    void shortOptionsAreTheLongOnes();
    void pictureIsTheWholeUpload();
    void scriptLinesAreCheckedAndNamed();
    void scriptWords_data();
    void scriptWords();
    void tableWordsSendTheirMessage_data();
    void tableWordsSendTheirMessage();
    void progressLine_data();
    void progressLine();
};

void tst_CtlCommands::sendsTheWindowsBytes_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("expected"); // writes, '|' between messages

    // Without detection only the commands' own messages go out.
    const auto row = [](const char* name, const char* line, const char* hex) {
        QTest::newRow(name) << QStringLiteral("--no-detect ") + QString::fromUtf8(line)
                            << QString::fromLatin1(hex);
    };
    row("identify", "identify", "49 44");
    row("text character by character", "text Hi", "02 48 | 02 69");
    row("text Latin-1 and words joined", "text é a", "02 E9 | 02 20 | 02 61");
    row("text at a position in a font", "text A --font 4 --at 3,159",
        "06 03 | 12 9F | 15 04 | 02 41");
    row("text as one string", "text Hi --string", "26 48 69 0D");
    row("text of 45 characters as a string",
        "text 123456789012345678901234567890123456789012345 --string",
        "26 31 32 33 34 35 36 37 38 39 30 31 32 33 34 35 36 37 38 39 30 31 32 33 34 35 36 37 38 39 "
        "30 31 32 33 34 35 36 37 38 39 30 31 32 33 34 35 0D");
    row("clear the screen", "clear", "01 10");
    row("clear a page", "clear 15", "01 0F");
    row("pattern", "pattern 0,60, 255", "03 00 | 03 3C | 03 FF");
    row("pixel", "pixel 5 7", "0A 01 05 07");
    row("line", "line 0 0 0 0", "1F 00 00 00 00 00");
    row("line cleared", "line 1 2 3 4 --clear", "1E 00 01 02 03 04");
    row("rect", "rect 10 20 100 60", "1F 01 0A 14 64 3C");
    row("rect cleared", "rect --clear 10 20 100 60", "1E 01 0A 14 64 3C");
    row("fill", "fill 10 20 100 60", "1F 02 0A 14 64 3C");
    row("fill cleared", "fill 10 20 100 60 --clear", "1E 02 0A 14 64 3C");
    row("reverse", "reverse 0 255 007 9", "1E 03 00 FF 07 09");
    row("circle", "circle 10 64 32", "21 0A 40 20");
    row("circle cleared", "circle 10 64 32 --clear", "20 0A 40 20");
    row("contrast", "contrast 127", "10 7F");
    row("backlight on", "backlight on", "09 01");
    row("backlight off", "backlight off", "09 00");
    row("lcd off", "lcd off", "0D 00");
    row("mode", "mode 6", "0B 06");
    row("rotate 180", "rotate 180", "27 01");
    row("rotate 0", "rotate 0", "27 00");
    row("flip", "flip 3", "1D 03");
    row("save", "save 5", "11 05");
    row("save over a font", "save 1 --replace-font", "11 01");
    row("load", "load 203", "08 CB");
    row("animate", "animate 10 5 9", "1B 0A 05 09");
    row("stop", "stop", "01 10");
    row("touch off", "touch off", "05 00");
    row("touch coordinates", "touch coordinates", "05 01");
    row("touch keypad", "touch keypad", "1C 01");
    row("touch keypad flipped", "touch keypad-flip", "1C 02");
    row("calibrate", "calibrate", "19 01");
    row("restore calibration", "restore-calibration", "1A 01");
    row("baud", "baud 19200", "0F 04");
    row("raw", "raw 1f 02 0A", "1F 02 0A");
    row("listen sends nothing", "listen --seconds 5", "");
    row("commands in order", "clear -- text A -- stop", "01 10 | 02 41 | 01 10");
    QTest::newRow("detection first, and again after a baud change")
        << QStringLiteral("--rate 115200 baud 2400 -- identify")
        << QStringLiteral("49 44 | 0F 00 | 49 44 | 49 44");
}

void tst_CtlCommands::sendsTheWindowsBytes() {
    QFETCH(QString, commandLine);
    QFETCH(QString, expected);
    QString error;
    const QByteArray actual = dryRun(commandLine.split(u' ', Qt::SkipEmptyParts), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(actual, writesText(expected.toLatin1().replace(" | ", "|").constData()));
}

void tst_CtlCommands::refusedBeforeAnythingIsSent_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message"); // part of the error

    const auto row = [](const char* name, const char* line, const char* message) {
        QTest::newRow(name) << QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts)
                            << QString::fromUtf8(message);
    };
    row("no command", "--no-detect", "no command given");
    row("unknown command", "blink", "unknown command \"blink\"");
    row("unknown option", "--colour red clear", "unknown option --colour");
    row("port number too high", "--port 17 clear", "port number from 1 to 16");
    row("rate not the board's", "--rate 9601 clear", "--rate must be one of 2400, 4800");
    row("coordinate above a byte", "line 1 2 3 256",
        "line: Y2 must be a whole number from 0 to 255, not \"256\"");
    row("negative coordinate", "pixel -1 5",
        "pixel: X must be a whole number from 0 to 255, not \"-1\"");
    row("huge number", "circle 99999999999999999999 1 1",
        "circle: R must be a whole number from 0 to 255");
    row("contrast too high", "contrast 128",
        "contrast: LEVEL must be a whole number from 0 to 127");
    row("page 16", "clear 16", "clear: PAGE must be a whole number from 0 to 15");
    row("mode 7", "mode 7", "mode: MODE must be a whole number from 0 to 6");
    row("font 5", "text A --font 5", "text: --font must be a whole number from 1 to 4");
    row("column 160", "text A --at 0,160",
        "the COLUMN of --at must be a whole number from 0 to 159");
    row("--at without a comma", "text A --at 3", "--at takes PAGE,COLUMN");
    row("string too long", "text 1234567890123456789012345678901234567890123456 --string",
        "--string takes at most 45 characters, and this text has 46");
    row("text beyond Latin-1", "text 3€", "\"€\" (U+20AC) cannot be sent");
    row("text missing", "text --font 2", "text: STRING is missing");
    row("screen 0", "load 0", "load: N must be a whole number from 1 to 203");
    row("font screen without leave", "save 4", "add --replace-font to overwrite screen 4");
    row("animation start screen 0", "animate 10 0 5", "START must be a whole number from 1 to 203");
    row("rotate 90", "rotate 90", "rotate: the angle must be 0 or 180, not \"90\"");
    row("backlight dim", "backlight dim", "the setting must be on or off");
    row("touch unknown", "touch swipe", "the mode must be off, coordinates, keypad or keypad-flip");
    row("baud not a rate", "baud 12345", "baud: RATE must be one of 2400");
    row("raw odd digits", "raw 1F 2", "raw: \"2\" is no byte");
    row("raw not hex", "raw 1G", "raw: \"1G\" is no byte");
    row("reverse has no clear", "reverse 1 2 3 4 --clear", "--clear does not go with reverse");
    row("too few", "circle 1 2", "circle: too few arguments (usage: circle R X Y [--clear])");
    row("too many", "pixel 1 2 3", "pixel: too many arguments: \"3\"");
    row("option of another command", "pixel 1 2 --font 3", "pixel: unknown option --font");
    row("global option after the command", "text Hi --verbose",
        "--verbose belongs before the first command");
    row("listen for no time", "listen --seconds 0",
        "--seconds must be a whole number from 1 to 1000000, not \"0\"");
    row("listen for part of a second", "listen --seconds 1.5", "--seconds must be a whole number");
    row("picture that does not exist", "picture /nonexistent/logo.bmp",
        "picture: cannot read /nonexistent/logo.bmp: no such file");
    row("two picture sizes", "picture x.bmp --fit --fill", "give one of --fit, --fill");
    row("brightness above 100", "picture x.bmp --brightness 101",
        "picture: --brightness must be a whole number from -100 to 100, not \"101\"");
    row("contrast below -100", "picture x.bmp --contrast=-101", "from -100 to 100, not \"-101\"");
    row("empty command after --", "clear --", "a command is missing after the last --");
    row("ports with another command", "ports -- clear", "ports runs alone");
    // The first command is fine; the second spoils the whole run.
    row("later command bad", "text Hi -- clear -- circle 10 64 999",
        "circle: Y must be a whole number from 0 to 255");
}

void tst_CtlCommands::refusedBeforeAnythingIsSent() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QString error;
    QCOMPARE(dryRun(arguments, &error), QByteArray("refused"));
    QVERIFY2(error.contains(message), qPrintable(QStringLiteral("error: ") + error));
}

void tst_CtlCommands::shortOptionsAreTheLongOnes_data() {
    QTest::addColumn<QString>("shortForm");
    QTest::addColumn<QString>("longForm");
    const auto row = [](const char* shortForm, const char* longForm) {
        QTest::newRow(shortForm) << QString::fromLatin1(shortForm) << QString::fromLatin1(longForm);
    };
    row("-p 3 -b 115200 -n -v clear 2", "--port 3 --rate 115200 --dry-run --verbose clear 2");
    row("-nv -b2400 -p/dev/ttyS1 text Hi",
        "--dry-run --verbose --baud=2400 --port=/dev/ttyS1 text Hi");
    row("-p ttyUSB0 --baud 19200 -n baud 9600",
        "--port=/dev/ttyUSB0 --rate=19200 --dry-run baud 9600");
    row("-p 2 -p rfc2217://h:7 --no-detect -n fill 0 0 9 9",
        "--port=2 --port rfc2217://h:7 --no-detect --dry-run fill 0 0 9 9");
    row("-h", "--help");
    row("-V", "--version");
}

void tst_CtlCommands::shortOptionsAreTheLongOnes() {
    QFETCH(QString, shortForm);
    QFETCH(QString, longForm);
    // The bytes, and what the run does besides them: mode, rate, flags and ports.
    const auto run = [](const QString& line) {
        ctl::CommandParser parser;
        const ctl::ParsedCommandLine p = ctl::CommandLine::parse(line.split(u' '), parser);
        const ctl::Invocation& i = p.invocation;
        QStringList facts{p.error, QString::number(int(i.mode)), QString::number(i.rateIndex),
                          QString::number(i.detect + 2 * i.dryRun + 4 * i.verbose)};
        for (const ctl::Invocation::Port& port : i.ports)
            facts << QString::number(port.number) + port.path;
        return facts.join(u' ') + QString::fromLatin1(dryRun(line.split(u' ')));
    };
    QVERIFY2(!run(longForm).contains(QStringLiteral("refused")), qPrintable(run(longForm)));
    QCOMPARE(run(shortForm), run(longForm));
}

void tst_CtlCommands::pictureIsTheWholeUpload() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("corner.bmp"));
    testbmp::Spec bitmap;
    bitmap.index = [](int x, int y) { return x == 0 && y == 0 ? 1 : 0; };
    QVERIFY(writeFile(path, testbmp::write(bitmap)));

    QString error;
    const QByteArray actual =
        dryRun({QStringLiteral("--no-detect"), QStringLiteral("picture"), path}, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QByteArrayList expected{"05 00", "06 00", "12 00", "03 01"};
    for (int i = 1; i < 2560; ++i)
        expected << "03 00";
    QCOMPARE(actual, expected.join(" | "));

    // A picture that is no one-bit BMP is refused before the port is opened.
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    QVERIFY(writeFile(text, "not a picture"));
    QCOMPARE(dryRun({QStringLiteral("picture"), text}, &error), QByteArray("refused"));
    QVERIFY2(error.contains(QStringLiteral("it is not a picture in a format this program reads")),
             qPrintable(error));
    // Any other picture goes through the converter: a PNG whose left half is white, taken by
    // threshold, lights exactly the left 80 columns of every page.
    QImage half(320, 256, QImage::Format_RGB32);
    half.fill(Qt::black);
    for (int y = 0; y < half.height(); ++y)
        for (int x = 0; x < half.width() / 2; ++x)
            half.setPixel(x, y, qRgb(255, 255, 255));
    const QString png = dir.filePath(QStringLiteral("half.png"));
    QVERIFY(half.save(png));
    QByteArrayList halves{"05 00", "06 00", "12 00"};
    for (int i = 0; i < 2560; ++i)
        halves << (i % 160 < 80 ? "03 FF" : "03 00");
    QCOMPARE(dryRun({QStringLiteral("--no-detect"), QStringLiteral("picture"), png,
                     QStringLiteral("--threshold"), QStringLiteral("128")},
                    &error),
             halves.join(" | "));
}

void tst_CtlCommands::scriptLinesAreCheckedAndNamed() {
    QTemporaryDir dir;
    const QString inner = dir.filePath(QStringLiteral("inner.txt"));
    QVERIFY(writeFile(inner, "pixel 1 2\r\n"));
    const QString good = dir.filePath(QStringLiteral("good.txt"));
    QVERIFY(
        writeFile(good, "# a comment\n\nclear 2   # clear page 2\ntext \"a #b\" --string\nscript " +
                            inner.toUtf8() + "\n"));
    QString error;
    QCOMPARE(dryRun({QStringLiteral("--no-detect"), QStringLiteral("script"), good,
                     QStringLiteral("--"), QStringLiteral("script"), QStringLiteral("-")},
                    &error, "stop\n"),
             writesText("01 02 | 26 61 20 23 62 0D | 0A 01 01 02 | 01 10"));
    QVERIFY2(error.isEmpty(), qPrintable(error));

    const QString bad = dir.filePath(QStringLiteral("bad.txt"));
    QVERIFY(writeFile(bad, "clear\n# fine so far\n\ncircle 10 64\n"));
    QCOMPARE(dryRun({QStringLiteral("script"), bad}, &error), QByteArray("refused"));
    QVERIFY2(error.contains(bad + QStringLiteral(" line 4: circle: too few arguments")),
             qPrintable(error));

    const QString loop = dir.filePath(QStringLiteral("loop.txt"));
    QVERIFY(writeFile(loop, "clear\nscript " + loop.toUtf8() + "\n"));
    QCOMPARE(dryRun({QStringLiteral("script"), loop}, &error), QByteArray("refused"));
    QVERIFY2(error.contains(QStringLiteral("runs itself")), qPrintable(error));

    const QString quote = dir.filePath(QStringLiteral("quote.txt"));
    QVERIFY(writeFile(quote, "clear\ntext \"open\n"));
    QCOMPARE(dryRun({QStringLiteral("script"), quote}, &error), QByteArray("refused"));
    QVERIFY2(error.contains(QStringLiteral("line 2: the quote \" is not closed")),
             qPrintable(error));
}

void tst_CtlCommands::scriptWords_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("blanks") << QStringLiteral("  line\t1 2  3 4 ")
                            << QStringList{"line", "1", "2", "3", "4"};
    QTest::newRow("double quotes keep blanks") << QStringLiteral("text \"Hello  world\" --string")
                                               << QStringList{"text", "Hello  world", "--string"};
    QTest::newRow("single quotes keep backslashes")
        << QStringLiteral("text 'a\\b'") << QStringList{"text", "a\\b"};
    QTest::newRow("escaped quote")
        << QStringLiteral("text \"say \\\"hi\\\"\"") << QStringList{"text", "say \"hi\""};
    QTest::newRow("comment after words")
        << QStringLiteral("clear 3 # the third page") << QStringList{"clear", "3"};
    QTest::newRow("hash inside a word") << QStringLiteral("text a#b") << QStringList{"text", "a#b"};
    QTest::newRow("empty quoted word") << QStringLiteral("text \"\"") << QStringList{"text", ""};
    QTest::newRow("comment only") << QStringLiteral("# nothing") << QStringList{};
}

void tst_CtlCommands::scriptWords() {
    QFETCH(QString, line);
    QFETCH(QStringList, words);
    QString error;
    QCOMPARE(ctl::ScriptReader::words(line, &error), words);
    QVERIFY(error.isEmpty());
}

void tst_CtlCommands::progressLine_data() {
    QTest::addColumn<int>("sent");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("line");

    QTest::newRow("nothing yet")
        << 0 << qint64(0)
        << QStringLiteral("[........................]     0/2560 bytes  --- B/s  -:-- left");
    QTest::newRow("half way")
        << 1280 << qint64(1000)
        << QStringLiteral("[############............]  1280/2560 bytes  1.3 kB/s  0:01 left");
    QTest::newRow("slow line")
        << 256 << qint64(2000)
        << QStringLiteral("[##......................]   256/2560 bytes  128 B/s  0:18 left");
    QTest::newRow("done") << 2560 << qint64(2700)
                          << QStringLiteral(
                                 "[########################]  2560/2560 bytes  948 B/s  0:00 left");
}

void tst_CtlCommands::progressLine() {
    QFETCH(int, sent);
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, line);
    QCOMPARE(ctl::ProgressBar::render(sent, 2560, elapsedMs), line);
}

// Each word of the command language's table, at both ends of its ranges: the words the script
// writer makes for a message send exactly that message.
void tst_CtlCommands::tableWordsSendTheirMessage_data() {
    QTest::addColumn<QByteArray>("message");
    for (const protocol::CommandWord& w : protocol::commandWords()) {
        for (const bool highest : {false, true}) {
            QByteArray message(1, char(protocol::commandInfo(w.code).byte()));
            if (w.fixedParameter >= 0)
                message += char(w.fixedParameter);
            for (int i = 0; i < w.argumentCount(); ++i)
                message += char(highest ? w.argumentMax(i) : w.argumentMin(i));
            QTest::addRow("%s%s %s", w.word, w.flag, highest ? "highest" : "lowest") << message;
        }
    }
}

void tst_CtlCommands::tableWordsSendTheirMessage() {
    QFETCH(QByteArray, message);
    const QString words = protocol::wordsOf(protocol::CommandCode(message[0]), message.mid(1));
    QVERIFY(!words.isEmpty());
    QString error;
    QCOMPARE(dryRun(("--no-detect " + words).split(u' '), &error), hexOf(message));
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

QTEST_GUILESS_MAIN(tst_CtlCommands)
#include "tst_ctlcommands.moc"
