// Which BMP files the screen takes as they are, which it refuses and which it converts: the one
// decision of the window's "Open" and of `vantrelctl picture` (files of other kinds are in
// tst_imageloader).

#include "picture/PictureFile.h"
#include "support/TestBitmaps.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPictureFile : public QObject {
    Q_OBJECT
private slots:
    void openAndLoadAgree_data();
    void openAndLoadAgree();
};

void TestPictureFile::openAndLoadAgree_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason"); // how the refusal starts; empty: usable
    QTest::addColumn<int>("width");      // of a one-bit BMP taken as it is; 0: to convert
    auto with = [](auto change) {
        testbmp::Spec s{.index = testbmp::pattern};
        change(s);
        return testbmp::write(s);
    };
    const QByteArray good = with([](auto&) {});

    QTest::newRow("one-bit 96 x 40") << with([](auto& s) {
        s.width = 96;
        s.height = 40;
    }) << QString() << 96;
    QTest::newRow("compressed one-bit BMP") << with([](auto& s) { s.compression = 2; })
                                            << QStringLiteral("it is damaged or incomplete") << 0;
    QTest::newRow("truncated") << good.left(good.size() - 7)
                               << QStringLiteral("the file ends before its picture data does.")
                               << 0;
    QTest::newRow("8 bits per pixel")
        << with([](auto& s) { s.bitsPerPixel = 8; }) << QString() << 0;
    QTest::newRow("24 bits per pixel")
        << with([](auto& s) { s.bitsPerPixel = 24; }) << QString() << 0;
    QTest::newRow("300 x 20") << with([](auto& s) {
        s.width = 300;
        s.height = 20;
    }) << QString() << 0;
}

// open() is the window's first step, load() with the default options vantrelctl's whole read:
// they take and refuse the same files, for the same reasons.
void TestPictureFile::openAndLoadAgree() {
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QFETCH(int, width);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();

    const PictureFile opened = PictureFile::open(path);
    const PictureFile loaded = PictureFile::load(path, ConversionOptions{});
    QVERIFY2(opened.error.startsWith(reason), qPrintable(opened.error));
    QCOMPARE(loaded.error, opened.error);
    if (!reason.isEmpty())
        return;
    QCOMPARE(opened.toConvert(), width == 0);
    QVERIFY(width ? loaded.pages == opened.pages : opened.image.ok());
    QCOMPARE(loaded.width, width ? width : protocol::kColumns);
    // Given options, even a one-bit BMP is converted by them.
    QCOMPARE(PictureFile::load(path, ConversionOptions{.threshold = 128}).width,
             protocol::kColumns);
}

QTEST_GUILESS_MAIN(TestPictureFile)
#include "tst_picturefile.moc"
