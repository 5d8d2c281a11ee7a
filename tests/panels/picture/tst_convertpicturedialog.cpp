// "Open" with any picture: which files go the one-bit BMP way, which through "Convert Picture",
// which are refused; what OK, Cancel and "Save As Bitmap..." do to the panel.

#include "panels/picture/ConvertPictureDialog.h"
#include "panels/picture/PicturePanel.h"
#include "picture/ImageConverter.h"
#include "picture/ImageLoader.h"
#include "support/PanelFixture.h"
#include "support/TempFiles.h"
#include "support/TestBitmaps.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
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

// Greys and shapes that every size and method show differently.
QImage scene(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int dx = x - width / 4;
            const int dy = y - height / 2;
            int v = x < width / 2 ? 50 + y * 60 / height : 230 - x * 40 / width;
            if (dx * dx + dy * dy < height * height / 16)
                v = 210;
            image.setPixel(x, y, qRgb(v, v, (v + x) % 256));
        }
    return image;
}

QByteArray encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

testbmp::Spec oneBit(int width, int height, int bits = 1) {
    testbmp::Spec s;
    s.width = width;
    s.height = height;
    s.bitsPerPixel = bits;
    s.index = testbmp::pattern;
    return s;
}

bool lit(const PageBytes& pages, int x, int y) {
    return (pages.at(y / 8, x) >> (y % 8)) & 1;
}

struct Rig : PanelFixture<PicturePanel> {
    QString write(const QString& name, const QByteArray& bytes) {
        return writeTempFile(dir, name, bytes);
    }
    void open(const QString& path) {
        dialogs.fileNames.enqueue(path);
        panel.Command5_Click();
    }
    ConvertPictureDialog* converter() { return panel.findChild<ConvertPictureDialog*>(); }
    QString dimensions() { return find<QLabel>("Label3")->text(); }
    QImage shown() { return find<QLabel>("picBox")->pixmap().toImage(); }
    QTemporaryDir dir;
};

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
    QTest::addColumn<QString>("dimensions"); // Label3 afterwards
    QTest::addColumn<QString>("refusal");    // the start of the error box's reason, or empty
    const QString before = QStringLiteral("Dimensions: 160 x 64");
    const QByteArray bmp = testbmp::write(oneBit(160, 128));
    QTest::newRow("one-bit BMP: as it is") << testbmp::write(oneBit(96, 40)) << false
                                           << QStringLiteral("Dimensions: 96 x 40") << QString();
    QTest::newRow("24-bit BMP") << testbmp::write(oneBit(160, 128, 24)) << true << before
                                << QString();
    QTest::newRow("PNG") << encode(scene(300, 200), "PNG") << true << before << QString();
    QTest::newRow("named pipe, at once")
        << QByteArray("<pipe>") << false << before
        << QStringLiteral("it cannot be read (it is a named pipe, not a file).");
    QTest::newRow("one-bit BMP cut short")
        << bmp.left(bmp.size() - 7) << false << before
        << QStringLiteral("the file ends before its picture data does.");
    QTest::newRow("not a picture") << QByteArray("hello\n") << false << before
                                   << QStringLiteral("it is not a picture in a format");
}

void TestConvertPictureDialog::routesEachKindOfFile() {
    QFETCH(QByteArray, file);
    QFETCH(bool, converts);
    QFETCH(QString, dimensions);
    QFETCH(QString, refusal);
    Rig rig;
    rig.open(rig.write(QStringLiteral("earlier.bmp"), testbmp::write(oneBit(160, 64))));
    QSignalSpy cleared(&rig.panel, &PicturePanel::responseCleared);
    const QString path = rig.dir.filePath(QStringLiteral("picture.bmp"));
    if (file == "<pipe>")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        rig.write(QStringLiteral("picture.bmp"), file);
    rig.open(path);

    const QStringList filters = rig.dialogs.fileFilters.last().split(QStringLiteral(";;"));
    QCOMPARE(filters.size(), 3);
    QCOMPARE(filters[0], QStringLiteral("Bitmap (*.bmp)"));
    QVERIFY2(filters[1].startsWith("Images (") && filters[1].contains("*.png") &&
                 filters[1].contains("*.jpg") && filters[1].contains("*.gif"),
             qPrintable(filters[1]));
    QCOMPARE(filters[2], QStringLiteral("All files (*)"));
    QCOMPARE(rig.converter() != nullptr, converts);
    QCOMPARE(rig.dimensions(), dimensions);
    QCOMPARE(rig.dialogs.messages.size(), refusal.isEmpty() ? 0 : 1);
    if (!refusal.isEmpty()) {
        const QString start = QStringLiteral("The file picture.bmp cannot be used: ") + refusal;
        QVERIFY2(rig.dialogs.messages[0].text.startsWith(start),
                 qPrintable(rig.dialogs.messages[0].text));
        QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("Error"));
    }
    // The response box is emptied by what is taken or refused, not by an open dialog.
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
    using S = ConversionOptions::Size;
    using M = ConversionOptions::Method;
    QTest::newRow("as it opens: Fit, the picture's own threshold")
        << "PNG" << QSize(300, 200) << 0 << 0 << -1 << false
        << ConversionOptions{S::Fit, M::Threshold, {}, false};
    QTest::newRow("Fill, threshold 200 typed, inverted")
        << "PNG" << QSize(300, 200) << 1 << 0 << 200 << true
        << ConversionOptions{S::Fill, M::Threshold, 200, true};
    QTest::newRow("Stretch, Floyd-Steinberg")
        << "PNG" << QSize(300, 200) << 2 << 1 << -1 << false
        << ConversionOptions{S::Stretch, M::FloydSteinberg, {}, false};
    QTest::newRow("Fit, Atkinson, brightness 30, contrast -20 typed")
        << "PNG" << QSize(300, 200) << 0 << 2 << -1 << false
        << ConversionOptions{S::Fit, M::Atkinson, {}, false, 30, -20};
    // Opened at a quarter of its size; "Original size" reads its middle at full resolution.
    QTest::newRow("large JPEG at its original size, Bayer 4x4")
        << "JPEG" << QSize(1600, 1300) << 3 << 3 << -1 << false
        << ConversionOptions{S::Original, M::Bayer4, {}, false};
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
    const QString path = rig.write(
        "picture", encode(scene(pictureSize.width(), pictureSize.height()), qPrintable(format)));
    rig.open(path);
    ConvertPictureDialog* dialog = rig.converter();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Convert Picture"));

    const QImage given = ImageLoader::load(path).image; // a large JPEG at a reduced size
    QCOMPARE(findControl<QSlider>(dialog, "thresholdSlider")->value(),
             ImageConverter::otsuThreshold(given));
    findControl<QComboBox>(dialog, "sizeChoice")->setCurrentIndex(size);
    findControl<QComboBox>(dialog, "methodChoice")->setCurrentIndex(method);
    if (threshold >= 0)
        findControl<QSpinBox>(dialog, "thresholdBox")->setValue(threshold);
    findControl<QCheckBox>(dialog, "invertCheck")->setChecked(invert);
    findControl<QSpinBox>(dialog, "brightnessBox")->setValue(options.brightness);
    findControl<QSpinBox>(dialog, "contrastBox")->setValue(options.contrast);
    QCOMPARE(findControl<QSlider>(dialog, "thresholdSlider")->isEnabled(), method == 0);

    if (!options.threshold)
        options.threshold = ImageConverter::otsuThreshold(given);
    const PageBytes screen = ImageConverter::convert(
        options.size == ConversionOptions::Size::Original ? QImage(path) : given, options);
    // The preview: the virtual board's glass, twice the size.
    const QImage preview = findControl<QLabel>(dialog, "previewView")->pixmap().toImage();
    QCOMPARE(preview.size(), QSize(320, 256));
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 320; ++x)
            QCOMPARE(preview.pixel(x, y),
                     lit(screen, x / 2, y / 2) ? qRgb(192, 255, 255) : qRgb(0, 0, 255));

    QTest::mouseClick(findControl<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(cleared.count(), 1);
    QVERIFY(rig.dialogs.messages.isEmpty());
    QCOMPARE(rig.dimensions(), QStringLiteral("Dimensions: 160 x 128"));
    for (int p = 0; p < 16; ++p)
        for (int x = 0; x < 160; ++x) {
            QCOMPARE(rig.panel.pageBytes().at(p, x), screen.at(p, x));
            QCOMPARE(int(rig.panel.uploadBuffer().stream(p * 160 + x)), 255 - screen.at(p, x));
        }
    QCOMPARE(rig.shown().size(), QSize(320, 256));
}

void TestConvertPictureDialog::cancelChangesNothing() {
    Rig rig;
    rig.open(rig.write(QStringLiteral("a.bmp"), testbmp::write(oneBit(160, 128))));
    const UploadBuffer buffer = rig.panel.uploadBuffer();
    const QImage shown = rig.shown();
    QSignalSpy cleared(&rig.panel, &PicturePanel::responseCleared);
    rig.open(rig.write(QStringLiteral("b.png"), encode(scene(300, 200), "PNG")));
    QVERIFY(rig.converter());
    findControl<QComboBox>(rig.converter(), "methodChoice")->setCurrentIndex(1);
    QTest::keyClick(rig.converter(), Qt::Key_Escape);
    QVERIFY(!rig.converter()->isVisible());
    QCOMPARE(cleared.count(), 0);
    QVERIFY(rig.panel.uploadBuffer() == buffer);
    QCOMPARE(rig.shown(), shown);
}

void TestConvertPictureDialog::everyControlIsNamed() {
    ConvertPictureDialog dialog(scene(60, 40));
    int reachable = 0;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        // A spin box's own text field is read as part of the spin box.
        if (!(w->focusPolicy() & Qt::TabFocus) || qobject_cast<QSpinBox*>(w->parentWidget()))
            continue;
        ++reachable;
        QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }
    // Size, conversion, threshold slider and box, automatic, brightness and contrast sliders and
    // boxes, invert, OK, Cancel.
    QCOMPARE(reachable, 12);
}

void TestConvertPictureDialog::saveAsBitmap_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("converted picture") << encode(scene(300, 200), "PNG");
    // What Send uploads: the 96-column picture's stream read as 160-column pages.
    QTest::newRow("one-bit BMP 96x40") << testbmp::write(oneBit(96, 40));
}

void TestConvertPictureDialog::saveAsBitmap() {
    QFETCH(QByteArray, file);
    Rig rig;
    QVERIFY(!rig.find<QPushButton>("cmdSaveBitmap")->isEnabled()); // nothing to save yet
    rig.open(rig.write(QStringLiteral("picture"), file));
    if (rig.converter())
        rig.converter()->accept();
    const QString saved = rig.dir.filePath(QStringLiteral("saved.bmp"));
    rig.dialogs.saveFileNames.enqueue(saved);
    QTest::mouseClick(rig.find<QPushButton>("cmdSaveBitmap"), Qt::LeftButton);
    QCOMPARE(rig.dialogs.saveFileFilters, QList<QString>{QStringLiteral("Bitmap (*.bmp)")});
    QVERIFY(rig.dialogs.messages.isEmpty());

    // Opened again it is taken as it is, and uploads the very same bytes.
    Rig again;
    again.open(saved);
    QVERIFY(!again.converter());
    QCOMPARE(again.dimensions(), QStringLiteral("Dimensions: 160 x 128"));
    for (int s = 0; s < 2560; ++s)
        QCOMPARE(again.panel.uploadBuffer().stream(s), rig.panel.uploadBuffer().stream(s));
}

void TestConvertPictureDialog::saveFailureChangesNothing_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no such folder") << QStringLiteral("missing/saved.bmp") << QString();
    QTest::newRow("a named pipe, at once")
        << QStringLiteral("pipe.bmp") << QStringLiteral("it is a named pipe, not a file.");
}

void TestConvertPictureDialog::saveFailureChangesNothing() {
    QFETCH(QString, target);
    QFETCH(QString, reason);
    Rig rig;
    rig.open(rig.write(QStringLiteral("a.bmp"), testbmp::write(oneBit(160, 128))));
    const QString pipe = rig.dir.filePath(QStringLiteral("pipe.bmp"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QStringList before =
        QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    rig.dialogs.saveFileNames.enqueue(rig.dir.filePath(target));
    rig.panel.cmdSaveBitmap_Click();
    QCOMPARE(rig.dialogs.messages.size(), 1);
    const QString start = QStringLiteral("The file %1 cannot be written: %2")
                              .arg(QFileInfo(target).fileName(), reason);
    QVERIFY2(rig.dialogs.messages[0].text.startsWith(start),
             qPrintable(rig.dialogs.messages[0].text));
    QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("Error"));
    QCOMPARE(QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(!QFileInfo(pipe).isFile());
}

QTEST_MAIN(TestConvertPictureDialog)
#include "tst_convertpicturedialog.moc"
