// "Open" with any picture: which files go the one-bit BMP way, which through "Convert Picture",
// which are refused; what OK, Cancel and "Save As Bitmap..." do to the panel.

#include "panels/picture/ConvertPictureDialog.h"
#include "panels/picture/PicturePanel.h"
#include "picture/BitmapReader.h"
#include "picture/ImageConverter.h"
#include "picture/ImageLoader.h"
#include "support/PanelFixture.h"
#include "support/TestBitmaps.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

Q_DECLARE_METATYPE(ConversionOptions)

namespace {

// Dark left half with a light disc, light right half with a dark bar: every method and size
// shows something different.
QImage scene(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int dx = x - width / 4;
            const int dy = y - height / 2;
            int v = x < width / 2 ? 50 + y * 60 / height : 230 - x * 40 / width;
            if (dx * dx + dy * dy < height * height / 16)
                v = 210;
            if (x > width * 2 / 3 && x < width * 3 / 4)
                v = 30;
            image.setPixel(x, y, qRgb(v, v, (v + x) % 256));
        }
    return image;
}

QByteArray pngBomb() {
    // A PNG claiming 100000 x 100000 pixels, with 27 bytes of data: its header (with the CRC of
    // this IHDR), a short IDAT and IEND.
    return QByteArray::fromHex(
        "89504E470D0A1A0A0000000D49484452000186A0000186A0080200000027309C9F0000000B49444154789C"
        "63604005000010000139BD8F650000000049454E44AE426082");
}

struct Rig : PanelFixture<PicturePanel> {
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    QString save(const QString& name, const QImage& image, const char* format) {
        const QString path = dir.filePath(name);
        if (!image.save(path, format))
            qFatal("cannot save %s", qPrintable(path));
        return path;
    }
    void open(const QString& path) {
        dialogs.fileNames.enqueue(path);
        panel.Command5_Click();
    }
    ConvertPictureDialog* converter() { return panel.findChild<ConvertPictureDialog*>(); }
    QLabel* Label3() { return find<QLabel>("Label3"); }
    QLabel* picBox() { return find<QLabel>("picBox"); }
    QImage shown() { return picBox()->pixmap().toImage(); }
    // Lets the closed dialog go.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QTemporaryDir dir;
};

QString errorText(const QString& file, const QString& reason) {
    return QStringLiteral("The file %1 cannot be used: %2").arg(file, reason);
}

} // namespace

class TestConvertPictureDialog : public QObject {
    Q_OBJECT
private slots:
    void routesEachKindOfFile_data();
    void routesEachKindOfFile();
    void okTakesTheScreen_data();
    void okTakesTheScreen();
    void cancelChangesNothing();
    void everyControlIsNamed();
    void saveAsBitmap_data();
    void saveAsBitmap();
    void saveFailureChangesNothing_data();
    void saveFailureChangesNothing();
};

void TestConvertPictureDialog::routesEachKindOfFile_data() {
    QTest::addColumn<QByteArray>("file"); // "<pipe>" for a named pipe
    QTest::addColumn<bool>("converts");
    QTest::addColumn<QString>("dimensions"); // Label3 afterwards, without a dialog
    QTest::addColumn<QString>("refusal");    // the start of the error box's text, or empty

    auto bmp = [](int w, int h, int bits = 1) {
        testbmp::Spec s;
        s.width = w;
        s.height = h;
        s.bitsPerPixel = bits;
        s.index = testbmp::pattern;
        return testbmp::write(s);
    };
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        scene(300, 200).save(&buffer, "PNG");
    }
    const QByteArray oneBit = bmp(160, 128);
    const QString before = QStringLiteral("Dimensions: 160 x 64");

    QTest::newRow("one-bit BMP: as it is")
        << bmp(96, 40) << false << QStringLiteral("Dimensions: 96 x 40") << QString();
    QTest::newRow("one-bit BMP too large for the board")
        << bmp(300, 20) << true << before << QString();
    QTest::newRow("24-bit BMP") << bmp(160, 128, 24) << true << before << QString();
    QTest::newRow("PNG") << png << true << before << QString();
    QTest::newRow("named pipe")
        << QByteArray("<pipe>") << false << before
        << errorText(QStringLiteral("picture.bmp"),
                     QStringLiteral("it cannot be read (it is a named pipe, not a file)."));
    QTest::newRow("one-bit BMP cut short")
        << oneBit.left(oneBit.size() - 7) << false << before
        << errorText(QStringLiteral("picture.bmp"),
                     QStringLiteral("the file ends before its picture data does."));
    QTest::newRow("PNG cut short") << png.left(png.size() / 2) << false << before
                                   << errorText(QStringLiteral("picture.bmp"),
                                                QStringLiteral("it is damaged or incomplete ("));
    QTest::newRow("PNG bomb") << pngBomb() << false << before
                              << errorText(QStringLiteral("picture.bmp"),
                                           QStringLiteral("the picture is 100000 x 100000 "
                                                          "pixels; opening it would take"));
    QTest::newRow("text") << QByteArray("hello\n") << false << before
                          << errorText(QStringLiteral("picture.bmp"),
                                       QStringLiteral("it is not a picture in a format this "
                                                      "program reads."));
}

void TestConvertPictureDialog::routesEachKindOfFile() {
    QFETCH(QByteArray, file);
    QFETCH(bool, converts);
    QFETCH(QString, dimensions);
    QFETCH(QString, refusal);
    Rig rig;
    testbmp::Spec earlier;
    earlier.width = 160;
    earlier.height = 64;
    earlier.index = testbmp::otherPattern;
    rig.open(rig.write(QStringLiteral("earlier.bmp"), testbmp::write(earlier)));
    QSignalSpy cleared(&rig.panel, &PicturePanel::responseCleared);

    QString path = rig.dir.filePath(QStringLiteral("picture.bmp"));
    if (file == "<pipe>")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        rig.write(QStringLiteral("picture.bmp"), file);
    rig.open(path); // a pipe must not block here

    const QStringList filters = rig.dialogs.fileFilters.last().split(QStringLiteral(";;"));
    QCOMPARE(filters.size(), 3);
    QCOMPARE(filters[0], QStringLiteral("Bitmap (*.bmp)"));
    QVERIFY2(filters[1].startsWith(QStringLiteral("Images (")) && filters[1].contains("*.png") &&
                 filters[1].contains("*.jpg"),
             qPrintable(filters[1]));
    QCOMPARE(filters[2], QStringLiteral("All files (*)"));

    QCOMPARE(rig.converter() != nullptr, converts);
    QCOMPARE(rig.Label3()->text(), dimensions);
    if (refusal.isEmpty()) {
        QVERIFY(rig.dialogs.messages.isEmpty());
    } else {
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY2(rig.dialogs.messages[0].text.startsWith(refusal),
                 qPrintable(rig.dialogs.messages[0].text));
        QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("Error"));
        QCOMPARE(rig.dialogs.messages[0].style, MessageStyle::CriticalOk);
    }
    // The response box is emptied by what is taken or refused, not by a dialog still open.
    QCOMPARE(cleared.count(), converts ? 0 : 1);
}

void TestConvertPictureDialog::okTakesTheScreen_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<int>("size");      // index in sizeChoice
    QTest::addColumn<int>("method");    // index in methodChoice
    QTest::addColumn<int>("threshold"); // typed into thresholdBox; -1: left at its start
    QTest::addColumn<bool>("invert");
    QTest::addColumn<ConversionOptions>("options");

    auto o = [](ConversionOptions::Size s, ConversionOptions::Method m, std::optional<int> t,
                bool invert) {
        ConversionOptions options;
        options.size = s;
        options.method = m;
        options.threshold = t;
        options.invert = invert;
        return options;
    };
    using S = ConversionOptions::Size;
    using M = ConversionOptions::Method;
    QTest::newRow("as it opens: Fit, threshold at the picture's mid-grey")
        << "PNG" << QSize(300, 200) << 0 << 0 << -1 << false << o(S::Fit, M::Threshold, {}, false);
    QTest::newRow("Fill, threshold 200 typed") << "PNG" << QSize(300, 200) << 1 << 0 << 200 << false
                                               << o(S::Fill, M::Threshold, 200, false);
    QTest::newRow("Stretch, Floyd-Steinberg, inverted")
        << "PNG" << QSize(300, 200) << 2 << 1 << -1 << true
        << o(S::Stretch, M::FloydSteinberg, {}, true);
    QTest::newRow("Fit, Atkinson")
        << "PNG" << QSize(300, 200) << 0 << 2 << -1 << false << o(S::Fit, M::Atkinson, {}, false);
    QTest::newRow("Fill, Bayer 8x8")
        << "PNG" << QSize(300, 200) << 1 << 4 << -1 << false << o(S::Fill, M::Bayer8, {}, false);
    // Opened at a quarter of its size; "Original size" needs every pixel and reads them.
    QTest::newRow("large JPEG at its original size, Bayer 4x4")
        << "JPEG" << QSize(1600, 1300) << 3 << 3 << -1 << false
        << o(S::Original, M::Bayer4, {}, false);
}

void TestConvertPictureDialog::okTakesTheScreen() {
    QFETCH(QString, format);
    QFETCH(QSize, pictureSize);
    QFETCH(int, size);
    QFETCH(int, method);
    QFETCH(int, threshold);
    QFETCH(bool, invert);
    QFETCH(ConversionOptions, options);
    Rig rig;
    QSignalSpy cleared(&rig.panel, &PicturePanel::responseCleared);
    const QString path =
        rig.save(QStringLiteral("picture.") + format.toLower(),
                 scene(pictureSize.width(), pictureSize.height()), qPrintable(format));
    rig.open(path);
    ConvertPictureDialog* dialog = rig.converter();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Convert Picture"));

    // The picture as the dialog was given it (a large JPEG at a reduced size), and with all its
    // pixels.
    const QImage given = ImageLoader::load(path).image;
    const QImage whole = QImage(path);
    QCOMPARE(given.size() == whole.size(), format != "JPEG");
    QCOMPARE(dialog->automaticThreshold(), ImageConverter::otsuThreshold(given));
    QCOMPARE(findControl<QSpinBox>(dialog, "thresholdBox")->value(), dialog->automaticThreshold());

    findControl<QComboBox>(dialog, "sizeChoice")->setCurrentIndex(size);
    findControl<QComboBox>(dialog, "methodChoice")->setCurrentIndex(method);
    if (threshold >= 0)
        findControl<QSpinBox>(dialog, "thresholdBox")->setValue(threshold);
    findControl<QCheckBox>(dialog, "invertCheck")->setChecked(invert);
    QCOMPARE(findControl<QSlider>(dialog, "thresholdSlider")->isEnabled(), method == 0);

    // What the board will show, as the virtual board's glass shows it, twice the size.
    ConversionOptions want = options;
    if (!want.threshold)
        want.threshold = dialog->automaticThreshold();
    const PageBytes screen = ImageConverter::convert(
        want.size == ConversionOptions::Size::Original ? whole : given, want);
    const QImage preview = findControl<QLabel>(dialog, "previewView")->pixmap().toImage();
    QCOMPARE(preview.size(), QSize(320, 256));
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 160; ++x) {
            const bool lit = (screen.at(y / 8, x) >> (y % 8)) & 1;
            const QRgb colour = lit ? qRgb(192, 255, 255) : qRgb(0, 0, 255);
            QCOMPARE(preview.pixel(2 * x, 2 * y), colour);
            QCOMPARE(preview.pixel(2 * x + 1, 2 * y + 1), colour);
        }

    QTest::mouseClick(findControl<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    Rig::settle();
    QVERIFY(!rig.converter());

    QCOMPARE(cleared.count(), 1);
    QVERIFY(rig.dialogs.messages.isEmpty());
    QCOMPARE(rig.Label3()->text(), QStringLiteral("Dimensions: 160 x 128"));
    for (int p = 0; p < 16; ++p)
        for (int x = 0; x < 160; ++x) {
            QCOMPARE(rig.panel.pageBytes().at(p, x), screen.at(p, x));
            QCOMPARE(int(rig.panel.uploadBuffer().stream(p * 160 + x)), 255 - screen.at(p, x));
        }
    QCOMPARE(rig.shown().size(), QSize(320, 256));
    QVERIFY(rig.find<QPushButton>("Command6")->isEnabled());
}

void TestConvertPictureDialog::cancelChangesNothing() {
    Rig rig;
    rig.open(rig.write(QStringLiteral("a.bmp"), testbmp::write({})));
    const UploadBuffer buffer = rig.panel.uploadBuffer();
    const PageBytes pages = rig.panel.pageBytes();
    const QImage shown = rig.shown();
    QSignalSpy cleared(&rig.panel, &PicturePanel::responseCleared);

    rig.open(rig.save(QStringLiteral("b.png"), scene(300, 200), "PNG"));
    ConvertPictureDialog* dialog = rig.converter();
    QVERIFY(dialog);
    findControl<QComboBox>(dialog, "methodChoice")->setCurrentIndex(1);
    QTest::keyClick(dialog, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    Rig::settle();

    QCOMPARE(cleared.count(), 0);
    QCOMPARE(rig.Label3()->text(), QStringLiteral("Dimensions: 160 x 128"));
    QVERIFY(rig.panel.uploadBuffer() == buffer);
    QVERIFY(rig.panel.pageBytes() == pages);
    QCOMPARE(rig.shown(), shown);
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TestConvertPictureDialog::everyControlIsNamed() {
    ConvertPictureDialog dialog(scene(60, 40));
    int reachable = 0;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus))
            continue;
        ++reachable;
        QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
        const QString text = w->property("text").toString();
        QVERIFY2(!w->accessibleName().isEmpty() || !text.isEmpty(), qPrintable(w->objectName()));
    }
    QVERIFY2(reachable >= 8, "size, conversion, slider, box, automatic, invert, OK, Cancel");
}

void TestConvertPictureDialog::saveAsBitmap_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("converts");
    testbmp::Spec oneBit;
    oneBit.index = testbmp::pattern;
    testbmp::Spec narrow = oneBit;
    narrow.width = 96;
    narrow.height = 40;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    scene(300, 200).save(&buffer, "PNG");
    QTest::newRow("converted picture") << png << true;
    QTest::newRow("one-bit BMP 160x128") << testbmp::write(oneBit) << false;
    // What Send uploads: the 96-column picture's stream read as 160-column pages.
    QTest::newRow("one-bit BMP 96x40") << testbmp::write(narrow) << false;
}

void TestConvertPictureDialog::saveAsBitmap() {
    QFETCH(QByteArray, file);
    QFETCH(bool, converts);
    Rig rig;
    QVERIFY(!rig.find<QPushButton>("Command6")->isEnabled()); // nothing to save yet
    rig.open(rig.write(QStringLiteral("picture.any"), file));
    if (converts) {
        QVERIFY(rig.converter());
        rig.converter()->accept();
    }
    const UploadBuffer sent = rig.panel.uploadBuffer();
    const QString saved = rig.dir.filePath(QStringLiteral("saved.bmp"));
    rig.dialogs.saveNames.enqueue(saved);
    QTest::mouseClick(rig.find<QPushButton>("Command6"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.saveFilters, QList<QString>{QStringLiteral("Bitmap (*.bmp)")});
    QVERIFY(rig.dialogs.messages.isEmpty());

    // Opened again, it is taken as it is and uploads the very same bytes.
    Rig again;
    again.open(saved);
    QVERIFY(!again.converter());
    QCOMPARE(again.Label3()->text(), QStringLiteral("Dimensions: 160 x 128"));
    for (int s = 0; s < 2560; ++s)
        QCOMPARE(again.panel.uploadBuffer().stream(s), sent.stream(s));
}

void TestConvertPictureDialog::saveFailureChangesNothing_data() {
    QTest::addColumn<QString>("target"); // under the test folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("no such folder") << QStringLiteral("missing/saved.bmp") << QString();
    QTest::newRow("a folder") << QStringLiteral("folder.bmp") << QStringLiteral("it is a folder.");
    QTest::newRow("a named pipe") << QStringLiteral("pipe.bmp")
                                  << QStringLiteral("it is not a regular file.");
}

void TestConvertPictureDialog::saveFailureChangesNothing() {
    QFETCH(QString, target);
    QFETCH(QString, reason);
    Rig rig;
    rig.open(rig.write(QStringLiteral("a.bmp"), testbmp::write({})));
    QVERIFY(QDir(rig.dir.path()).mkdir(QStringLiteral("folder.bmp")));
    const QString pipe = rig.dir.filePath(QStringLiteral("pipe.bmp"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const UploadBuffer buffer = rig.panel.uploadBuffer();
    const QStringList before =
        QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    rig.dialogs.saveNames.enqueue(rig.dir.filePath(target));
    rig.panel.Command6_Click(); // a pipe must not block here
    QCOMPARE(rig.dialogs.messages.size(), 1);
    const QString start = QStringLiteral("The file %1 cannot be written: %2")
                              .arg(QFileInfo(target).fileName(), reason);
    QVERIFY2(rig.dialogs.messages[0].text.startsWith(start),
             qPrintable(rig.dialogs.messages[0].text));
    QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("Error"));
    QCOMPARE(QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    QVERIFY(rig.panel.uploadBuffer() == buffer);
}

QTEST_MAIN(TestConvertPictureDialog)
#include "tst_convertpicturedialog.moc"
