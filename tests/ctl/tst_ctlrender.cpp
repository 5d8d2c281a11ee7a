// `vantrelctl render` and `convert` as whole processes: the screen rendered without a board is
// the one the virtual board holds after the same script over a pseudo-terminal; the C header
// compiles and holds the upload's page bytes; what render refuses.
#include "ProgramRun.h"
#include "board/VirtualBoard.h"
#include "display/Glass.h"
#include "picture/CIdentifier.h"
#include "picture/GlassImage.h"
#include "picture/PictureFile.h"
#include "support/HexCompare.h"
#include "support/TestBitmaps.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A one-bit BMP with no symmetry to hide a misplaced byte.
QString writePicture(const QTemporaryDir& dir) {
    testbmp::Spec bitmap;
    bitmap.index = [](int x, int y) { return (x * 7 + y * 3) % 11 == 0 || x == y ? 1 : 0; };
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    return writeFile(path, testbmp::write(bitmap)) ? path : QString();
}

QByteArray memoryBytes(const display::BoardModel& model) {
    return QByteArray(reinterpret_cast<const char*>(model.memory().data()),
                      qsizetype(model.memory().size()));
}

} // namespace

class tst_CtlRender : public QObject {
    Q_OBJECT
private slots:
    void renderShowsWhatTheBoardHolds_data();
    void renderShowsWhatTheBoardHolds();
    void headerCompilesAndHoldsTheUploadBytes();
    void mirrorOfARunIsItsRender();
    void dryRunAsC_data();
    void dryRunAsC();
    void refusals_data();
    void refusals();
    void identifierOfAnyName_data();
    void identifierOfAnyName();
};

void tst_CtlRender::renderShowsWhatTheBoardHolds_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("format");
    QTest::newRow("fonts") << "clear\ntext \"Ab1\" --font 1 --at 0,0\ntext \"Ab\" --font 2 "
                              "--at 2,0\ntext \"Ab\" --font 3 --at 5,0\ntext \"Q\" --font 4 "
                              "--at 9,0\ntext \"Hello, world\" --string --at 14,3\n"
                           << "bin";
    QTest::newRow("drawing") << "pixel 3 4\nline 0 0 159 127\nrect 10 10 60 40\nfill 20 50 80 "
                                "90\nreverse 0 0 100 100\ncircle 20 120 60\nline 0 127 159 0 "
                                "--clear\ncircle 10 120 60 --clear\nfill 30 60 40 70 --clear\n"
                             << "bmp";
    QTest::newRow("modes and rotation") << "text \"Mode\" --font 2\nmode 3\nrotate 180\nflip 2\n"
                                        << "bin";
    QTest::newRow("lcd off") << "fill 0 0 50 50\nmode 5\nlcd off\n" << "bin";
    QTest::newRow("screen memory") << "text \"One\" --font 2\nsave 10\nclear\ntext \"Two\"\n"
                                      "save 11\nload 10\npattern 1,2,4,8,16\n"
                                   << "bmp";
    QTest::newRow("picture") << "clear\npicture %1\ntext \"over\" --at 15,0\n" << "bin";
}

void tst_CtlRender::renderShowsWhatTheBoardHolds() {
    QFETCH(QString, script);
    QFETCH(QString, format);
    QTemporaryDir dir;
    const QString scriptPath = dir.filePath(QStringLiteral("demo.txt"));
    QVERIFY(writeFile(scriptPath, script.replace(QStringLiteral("%1"), writePicture(dir)).toUtf8()));

    const QString out = dir.filePath(QStringLiteral("screen.") + format);
    const QString png = dir.filePath(QStringLiteral("glass.png"));
    for (const QString& path : {out, png}) {
        QStringList arguments{QStringLiteral("render"), QStringLiteral("--output"), path};
        if (path == png)
            arguments << QStringLiteral("--plain");
        const Finished rendered = run(arguments + QStringList{QStringLiteral("script"), scriptPath});
        QVERIFY2(rendered.exitCode == 0, qPrintable(explain(rendered)));
    }
    QByteArray rendered = readAll(out);
    if (format == QStringLiteral("bmp")) { // as "Open" takes it back
        const PictureFile opened = PictureFile::open(out);
        QVERIFY2(opened.ok() && !opened.toConvert(), qPrintable(opened.error));
        const protocol::Screen screen = opened.screen();
        rendered = QByteArray(reinterpret_cast<const char*>(screen.data()), qsizetype(screen.size()));
    }
    QVERIFY(rendered != QByteArray(protocol::kScreenBytes, '\0'));
    const QImage glass = QImage(png).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!glass.isNull());

    VirtualBoard board;
    QVERIFY2(board.open(), qPrintable(board.errorString()));
    QVERIFY(board.model().setBaudRate(8)); // 115200
    const Finished sent = run({QStringLiteral("--port"), board.devicePath(),
                               QStringLiteral("--rate"), QStringLiteral("115200"),
                               QStringLiteral("script"), scriptPath});
    QVERIFY2(sent.exitCode == 0, qPrintable(explain(sent)));
    const auto boardGlass = [&board] {
        return glassImage(display::glassOf(board.model()), kPlainColours, 1)
            .convertToFormat(QImage::Format_RGB32);
    };
    // The program has ended; the board may still be reading its last bytes.
    QTRY_VERIFY(memoryBytes(board.model()) == rendered && boardGlass() == glass);
    COMPARE_HEX(memoryBytes(board.model()), rendered);
}

void tst_CtlRender::headerCompilesAndHoldsTheUploadBytes() {
    QTemporaryDir dir;
    const QString picture = writePicture(dir);
    // Converted (--invert), so that the options reach both the upload and the file.
    const Finished upload = run({QStringLiteral("--dry-run"), QStringLiteral("picture"), picture,
                                 QStringLiteral("--invert")});
    QVERIFY2(upload.exitCode == 0, qPrintable(explain(upload)));
    QByteArray pageBytes; // the PutPattern lines after Identify, touch off, page and column
    const QList<QByteArray> lines = upload.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 4 + protocol::kScreenBytes);
    for (const QByteArray& line : lines.mid(4))
        pageBytes += QByteArray::fromHex(line.mid(3));

    for (const QStringList& output :
         {QStringList{QStringLiteral("screen.h"), QStringLiteral("--name"), QStringLiteral("2 static")},
          QStringList{QStringLiteral("screen.bin")}}) {
        const Finished f = run(QStringList{QStringLiteral("convert"), picture,
                                           QStringLiteral("--invert"), QStringLiteral("--output"),
                                           dir.filePath(output.first())} +
                               output.mid(1));
        QVERIFY2(f.exitCode == 0, qPrintable(explain(f)));
    }
    QVERIFY(pageBytes.size() == protocol::kScreenBytes);
    COMPARE_HEX(readAll(dir.filePath(QStringLiteral("screen.bin"))), pageBytes);

    // Two files include the header and are linked together; main prints the array.
    QVERIFY(writeFile(dir.filePath(QStringLiteral("other.c")),
                      "#include \"screen.h\"\nconst uint8_t* other(void) { return screen_2_static; }\n"));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("main.c")),
                      "#include <stdio.h>\n#include \"screen.h\"\n#include \"screen.h\"\n"
                      "const uint8_t* other(void);\n"
                      "int main(void) {\n"
                      "    for (unsigned i = 0; i < sizeof screen_2_static; ++i)\n"
                      "        printf(\"%02x\", other()[i]);\n"
                      "    return sizeof screen_2_static == 2560 ? 0 : 1;\n}\n"));
    const Finished built = runInShell(
        QStringLiteral("cc -std=c99 -Wall -Werror -pedantic -o shown main.c other.c"), dir.path());
    QVERIFY2(built.exitCode == 0, qPrintable(explain(built)));
    const Finished shown = runInShell(QStringLiteral("./shown"), dir.path());
    QVERIFY2(shown.exitCode == 0, qPrintable(explain(shown)));
    COMPARE_HEX(QByteArray::fromHex(shown.out), pageBytes);
}

void tst_CtlRender::mirrorOfARunIsItsRender() {
    QTemporaryDir dir;
    const QString commands = QStringLiteral("text Hi --font 4 -- circle 30 80 64 -- save 9 -- "
                                            "clear -- load 9 -- reverse 0 0 80 60");
    const Finished mirrored = runInShell(
        QStringLiteral("vantrelctl --dry-run --mirror mirror.bin ") + commands, dir.path());
    const Finished rendered =
        runInShell(QStringLiteral("vantrelctl render --output render.bin ") + commands, dir.path());
    QVERIFY2(mirrored.exitCode == 0 && rendered.exitCode == 0, qPrintable(explain(mirrored)));
    QVERIFY(readAll(dir.filePath(QStringLiteral("render.bin"))).count('\0') < protocol::kScreenBytes);
    COMPARE_HEX(readAll(dir.filePath(QStringLiteral("mirror.bin"))),
                readAll(dir.filePath(QStringLiteral("render.bin"))));
}

void tst_CtlRender::dryRunAsC_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("line");
    QTest::newRow("address") << QStringList{"text", "A", "--at", "0,5"}
                             << "    /* SetPage 0 */ 0x06, 0x00,\n    /* SetColumn 5 */ 0x12, 0x05,\n";
    QTest::newRow("comment in the text") << QStringList{"text", "a/*b*/", "--string"}
                                         << "    /* BeginString \"a/ *b* /\" */ 0x26, 0x61,";
    QTest::newRow("upload's pause") << QStringList{"picture", "%1"}
                                    << "    /* SetTouchMode 0 */ 0x05, 0x00,\n    /* wait 20 ms: "
                                       "the board switches touch reporting off */\n";
}

void tst_CtlRender::dryRunAsC() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, line);
    QTemporaryDir dir;
    arguments.replaceInStrings(QStringLiteral("%1"), writePicture(dir));
    const Finished f = run(QStringList{QStringLiteral("--dry-run"), QStringLiteral("--format"),
                                       QStringLiteral("c")} + arguments);
    QVERIFY2(f.exitCode == 0, qPrintable(explain(f)));
    QVERIFY2(f.out.contains(line.toUtf8()), f.out.left(600).constData());
}

void tst_CtlRender::refusals_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("fileAfter"); // old.bin holds "old" before
    QTest::newRow("identify") << "render --output new.bin identify" << 2 << QByteArray("old");
    QTest::newRow("listen in a script")
        << "printf 'clear\\nlisten\\n' | vantrelctl render --output new.bin script -" << 2
        << QByteArray("old");
    QTest::newRow("existing file") << "render --output old.bin clear" << 2 << QByteArray("old");
    QTest::newRow("--force") << "render --output old.bin --force clear" << 0
                             << QByteArray(protocol::kScreenBytes, '\0');
    QTest::newRow("unknown extension") << "render --output new.txt clear" << 2 << QByteArray("old");
    QTest::newRow("--scale for .bin") << "render --output new.bin --scale 2 clear" << 2
                                      << QByteArray("old");
}

void tst_CtlRender::refusals() {
    QFETCH(QString, commandLine);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, fileAfter);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("old.bin")), "old"));
    if (!commandLine.contains(u'|'))
        commandLine.prepend(QStringLiteral("vantrelctl "));
    const Finished f = runInShell(commandLine, dir.path());
    QVERIFY2(f.exitCode == exitCode, qPrintable(explain(f)));
    COMPARE_HEX(readAll(dir.filePath(QStringLiteral("old.bin"))), fileAfter);
    QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("new.bin"))), false);
    if (exitCode != 0)
        QVERIFY(f.err.startsWith("vantrelctl: "));
}

void tst_CtlRender::identifierOfAnyName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("identifier");
    QTest::newRow("file name") << "logo-big.v2" << "logo_big_v2";
    QTest::newRow("leading digit") << "2 logo" << "screen_2_logo";
    QTest::newRow("keyword") << "static" << "static_screen";
    QTest::newRow("reserved underscore") << "__Logo__" << "Logo";
    QTest::newRow("non-ASCII") << QString::fromUtf8("écran ñ") << "cran";
    QTest::newRow("empty") << "" << "screen";
    QTest::newRow("nothing usable") << QString::fromUtf8("日本") << "screen";
}

void tst_CtlRender::identifierOfAnyName() {
    QFETCH(QString, name);
    QFETCH(QString, identifier);
    QCOMPARE(CIdentifier::of(name), identifier);
}

QTEST_GUILESS_MAIN(tst_CtlRender)
#include "tst_ctlrender.moc"
