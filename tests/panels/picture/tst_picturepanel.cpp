// The "Picture" frame: opening a BMP file and uploading the screen, on a fake port with a
// hand-set clock.

#include "engine/BoardSession.h"
#include "panels/picture/PicturePanel.h"
#include "picture/BitmapReader.h"
#include "picture/UploadBuffer.h"
#include "protocol/LineSettings.h"
#include "support/FakeSerialPort.h"
#include "support/HexCompare.h"
#include "support/RecordingDialogs.h"
#include "support/TempFiles.h"
#include "support/TestBitmaps.h"
#include "support/WindowFixture.h"

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using testbmp::bitmap;
using testbmp::pageByte;

namespace {

constexpr std::int64_t kTickNs = 10'000'000;

QList<QByteArray> uploadOf(const QList<int>& pageBytes) {
    QList<QByteArray> writes = writesOf("05 00 | 06 00 | 12 00");
    for (int b : pageBytes)
        writes << QByteArray(1, char(0x03)) + char(b);
    return writes;
}

struct Rig {
    Rig() : panel(session, dialogs) {
        session.setClock([this] { return now; });
        port.setOpenForTest(true);
    }
    QLabel* Label3() { return panel.findChild<QLabel*>(QStringLiteral("Label3")); }
    QLabel* picBox() { return panel.findChild<QLabel*>(QStringLiteral("picBox")); }
    QProgressBar* bar() { return panel.findChild<QProgressBar*>(QStringLiteral("ProgressBar1")); }
    QDialog* progressDialog() {
        return panel.findChild<QDialog*>(QStringLiteral("UploadProgress"));
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        return writeTempFile(dir, name, bytes);
    }
    void open(const QString& path) {
        dialogs.fileNames.enqueue(path);
        panel.Command5_Click();
    }
    void openPicture(const testbmp::Spec& s) { open(writeFile("picture.bmp", testbmp::write(s))); }
    // Runs the upload's timer steps until it ends, or `limit` of them.
    void tick(int limit = 100'000) {
        for (int i = 0; i < limit && panel.uploading(); ++i) {
            now += kTickNs;
            panel.UploadTimer_Timer();
        }
    }
    void tickUntilWrites(int count) {
        while (panel.uploading() && port.writes.size() < count) {
            now += kTickNs;
            panel.UploadTimer_Timer();
        }
    }

    QTemporaryDir dir;
    FakeSerialPort port;
    engine::BoardSession session{port};
    RecordingDialogs dialogs;
    std::int64_t now = 1'000'000'000;
    PicturePanel panel;
};

} // namespace

class TestPicturePanel : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void opensAPicture();
    void cancelledDialogDoesNothing();
    void refusesUnusableFiles_data();
    void refusesUnusableFiles();
    void sendWithPortClosedSendsNothing();
    void sendsAFullScreen_data();
    void sendsAFullScreen();
    void progressClimbsAndReturnsToZero();
    void cancelStopsAtOnce();
    void portClosedUnderTheUpload_data();
    void portClosedUnderTheUpload();
    void nothingElseDuringAnUpload();
    void panelDestroyedDuringAnUpload();
    void windowClosedDuringAnUpload();
};

void TestPicturePanel::startState() {
    Rig rig;
    QCOMPARE(rig.Label3()->text(), QStringLiteral("Dimensions:"));
    QVERIFY(rig.picBox()->pixmap().isNull());
    QCOMPARE(rig.picBox()->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(rig.bar()->minimum(), 0);
    QCOMPARE(rig.bar()->maximum(), 2560);
    QCOMPARE(rig.bar()->value(), 0);
    QCOMPARE(rig.panel.findChild<QPushButton*>(QStringLiteral("Command5"))->text(),
             QStringLiteral("Open"));
    QCOMPARE(rig.panel.findChild<QPushButton*>(QStringLiteral("Command3"))->text(),
             QStringLiteral("Send"));
    QCOMPARE(rig.panel.uploadBuffer(), UploadBuffer());
}

void TestPicturePanel::opensAPicture() {
    Rig rig;
    QSignalSpy cleared(&rig.panel, &PicturePanel::responseCleared);
    const testbmp::Spec picture = bitmap(160, 128, testbmp::pattern);
    rig.openPicture(picture);

    QCOMPARE(rig.dialogs.fileFilters.size(), 1);
    QVERIFY(rig.dialogs.fileFilters.first().startsWith(QStringLiteral("Bitmap (*.bmp);;Images (")));
    QCOMPARE(cleared.count(), 1);
    QVERIFY(rig.dialogs.messages.isEmpty());
    QCOMPARE(rig.Label3()->text(), QStringLiteral("Dimensions: 160 x 128"));
    for (int s = 0; s < 2560; ++s)
        QCOMPARE(int(rig.panel.uploadBuffer().stream(s)),
                 255 - pageByte(picture, s / 160, s % 160));
    // Shown twice its size, lit pixels white as in the file.
    const QImage shown = rig.picBox()->pixmap().toImage();
    QCOMPARE(shown.size(), QSize(320, 256));
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 0), QPoint(159, 127), QPoint(37, 91)}) {
        const QRgb want = picture.index(p.x(), p.y()) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        QCOMPARE(shown.pixel(2 * p.x() + 1, 2 * p.y() + 1), want);
    }
}

void TestPicturePanel::cancelledDialogDoesNothing() {
    Rig rig;
    QSignalSpy cleared(&rig.panel, &PicturePanel::responseCleared);
    rig.panel.Command5_Click(); // cancelled at the first use
    QCOMPARE(cleared.count(), 0);
    QCOMPARE(rig.Label3()->text(), QStringLiteral("Dimensions:"));
    QVERIFY(rig.picBox()->pixmap().isNull());

    const QString path = rig.writeFile("a.bmp", testbmp::write(bitmap(160, 128, testbmp::pattern)));
    rig.open(path);
    QCOMPARE(cleared.count(), 1);
    const UploadBuffer buffer = rig.panel.uploadBuffer();
    const QImage shown = rig.picBox()->pixmap().toImage();
    // The same file now holds another picture: a cancelled dialog must not read it again.
    rig.writeFile("a.bmp", testbmp::write(bitmap(96, 40, testbmp::otherPattern)));
    rig.panel.Command5_Click();
    QCOMPARE(cleared.count(), 1);
    QCOMPARE(rig.Label3()->text(), QStringLiteral("Dimensions: 160 x 128"));
    QCOMPARE(rig.panel.uploadBuffer(), buffer);
    QCOMPARE(rig.picBox()->pixmap().toImage(), shown);
    QVERIFY(rig.dialogs.messages.isEmpty());
}

// A file that is no usable picture is refused with its reason; a picture that is no one-bit
// BMP the board can take whole goes to the conversion dialog instead. Either way nothing
// changes until the user says OK. Which files are which is PictureFile's (tst_picturefile).
void TestPicturePanel::refusesUnusableFiles_data() {
    QTest::addColumn<QByteArray>("file"); // null: no such file
    QTest::addColumn<QString>("reason");  // empty: the conversion dialog opens
    auto with = [](auto change) {
        testbmp::Spec s = bitmap(160, 128, testbmp::pattern);
        change(s);
        return testbmp::write(s);
    };
    const QByteArray good = testbmp::write(bitmap(160, 128, testbmp::pattern));

    QTest::newRow("no such file") << QByteArray() << QStringLiteral("it cannot be read (");
    QTest::newRow("not a picture")
        << QByteArray("GIF89a....") << QStringLiteral("it is damaged or incomplete");
    QTest::newRow("truncated") << good.left(good.size() - 7)
                               << QStringLiteral("the file ends before its picture data does.");
    QTest::newRow("8 bits per pixel") << with([](auto& s) { s.bitsPerPixel = 8; }) << QString();
}

void TestPicturePanel::refusesUnusableFiles() {
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    Rig rig;
    rig.openPicture(bitmap(160, 64, testbmp::pattern));
    const UploadBuffer buffer = rig.panel.uploadBuffer();
    const PageBytes pages = rig.panel.pageBytes();
    const QImage shown = rig.picBox()->pixmap().toImage();
    QSignalSpy cleared(&rig.panel, &PicturePanel::responseCleared);

    QString path = rig.dir.filePath(QStringLiteral("bad.bmp"));
    if (!file.isNull())
        rig.writeFile(QStringLiteral("bad.bmp"), file);
    rig.open(path);

    auto* converter = rig.panel.findChild<QDialog*>(QStringLiteral("ConvertPicture"));
    if (reason.isEmpty()) {
        QVERIFY(rig.dialogs.messages.isEmpty());
        QVERIFY(converter && converter->isVisible());
        converter->reject();
        QCOMPARE(cleared.count(), 0); // Cancel changes nothing, the response box included
    } else {
        QVERIFY(!converter || !converter->isVisible());
        QCOMPARE(rig.dialogs.messages.size(), 1);
        const ShownMessage shownMessage = rig.dialogs.messages.first();
        const QString start = QStringLiteral("The file bad.bmp cannot be used: ") + reason;
        QVERIFY2(shownMessage.text.startsWith(start), qPrintable(shownMessage.text));
        QCOMPARE(shownMessage.title, QStringLiteral("Error"));
        QCOMPARE(shownMessage.style, MessageStyle::CriticalOk);
        QCOMPARE(cleared.count(), 1); // the response box is emptied once a file is chosen
    }
    QCOMPARE(rig.Label3()->text(), QStringLiteral("Dimensions: 160 x 64"));
    QCOMPARE(rig.picBox()->pixmap().toImage(), shown);
    QCOMPARE(rig.panel.uploadBuffer(), buffer);
    QVERIFY(rig.panel.pageBytes() == pages);
}

void TestPicturePanel::sendWithPortClosedSendsNothing() {
    Rig rig;
    rig.port.setOpenForTest(false);
    rig.panel.Command3_Click();
    rig.tick();
    COMPARE_HEX(rig.port.writes, writesOf(""));
    QCOMPARE(rig.bar()->value(), 0);
    QVERIFY(!rig.panel.uploading());
    QVERIFY(!rig.progressDialog() || !rig.progressDialog()->isVisible());
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TestPicturePanel::sendsAFullScreen_data() {
    QTest::addColumn<QList<testbmp::Spec>>("pictures"); // opened in this order before Send
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QList<int>>("pageBytes");

    QTest::newRow("no picture") << QList<testbmp::Spec>{} << QStringLiteral("9600,N,8,1")
                                << QList<int>(2560, 0xFF);
    QList<int> topLeft(2560, 0x00);
    topLeft[0] = 0x01;
    QTest::newRow("top-left pixel")
        << QList<testbmp::Spec>{bitmap(160, 128, [](int x, int y) { return x == 0 && y == 0; })}
        << QStringLiteral("115200,N,8,1") << topLeft;

    const testbmp::Spec full = bitmap(160, 128, testbmp::pattern);
    const testbmp::Spec half = bitmap(160, 64, testbmp::otherPattern);
    QList<int> fullBytes, halfOverFull;
    for (int s = 0; s < 2560; ++s) {
        fullBytes << pageByte(full, s / 160, s % 160);
        halfOverFull << (s < 1280 ? pageByte(half, s / 160, s % 160) : fullBytes.last());
    }
    QTest::newRow("pattern") << QList<testbmp::Spec>{full} << QStringLiteral("2400,N,8,1")
                             << fullBytes;
    QTest::newRow("160x64 after 160x128")
        << QList<testbmp::Spec>{full, half} << QStringLiteral("115200,N,8,1") << halfOverFull;
}

void TestPicturePanel::sendsAFullScreen() {
    QFETCH(QList<testbmp::Spec>, pictures);
    QFETCH(QString, settings);
    QFETCH(QList<int>, pageBytes);
    Rig rig;
    for (const testbmp::Spec& picture : pictures)
        rig.openPicture(picture);
    rig.port.setSettings(*protocol::LineSettings::fromText(settings));
    QSignalSpy finished(&rig.panel, &PicturePanel::uploadFinished);

    rig.panel.Command3_Click();
    QVERIFY(rig.panel.uploading());
    rig.tick();

    QVERIFY(!rig.panel.uploading());
    COMPARE_HEX(rig.port.writes, uploadOf(pageBytes));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toInt(), 2560);
    QVERIFY(rig.dialogs.messages.isEmpty());

    // A second Send repeats the whole sequence.
    rig.port.clearWrites();
    rig.panel.Command3_Click();
    rig.tick();
    COMPARE_HEX(rig.port.writes, uploadOf(pageBytes));
}

void TestPicturePanel::progressClimbsAndReturnsToZero() {
    Rig rig;
    QSignalSpy values(rig.bar(), &QProgressBar::valueChanged);
    rig.panel.Command3_Click();
    QVERIFY(rig.progressDialog());
    QVERIFY(rig.progressDialog()->isVisible());
    QCOMPARE(rig.progressDialog()->windowModality(), Qt::ApplicationModal);
    rig.tickUntilWrites(1003);
    QCOMPARE(rig.bar()->value(), rig.port.writes.size() - 3); // one step per page byte sent
    rig.tick();

    QVERIFY(values.count() > 10); // it moves during the upload, not only at its end
    int previous = 0;
    for (int i = 0; i < values.count() - 1; ++i) {
        const int value = values.at(i).first().toInt();
        QVERIFY2(value > previous, "the progress went back during the upload");
        previous = value;
    }
    QCOMPARE(previous, 2560);
    QCOMPARE(values.last().first().toInt(), 0);
    QCOMPARE(rig.bar()->value(), 0);
    QVERIFY(!rig.progressDialog()->isVisible());
}

void TestPicturePanel::cancelStopsAtOnce() {
    Rig rig;
    QSignalSpy finished(&rig.panel, &PicturePanel::uploadFinished);
    rig.panel.Command3_Click();
    rig.tickUntilWrites(503);
    const int written = int(rig.port.writes.size());
    QVERIFY(written >= 503 && written < 2563);

    rig.progressDialog()->findChild<QPushButton*>(QStringLiteral("UploadCancel"))->click();

    QVERIFY(!rig.panel.uploading());
    QCOMPARE(rig.bar()->value(), 0);
    QVERIFY(!rig.progressDialog()->isVisible());
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.first().text,
             QStringLiteral("The picture upload was cancelled after %1 of 2560 bytes.")
                 .arg(written - 3));
    QCOMPARE(rig.dialogs.messages.first().style, MessageStyle::InformationOk);
    QCOMPARE(rig.dialogs.messages.first().title, QStringLiteral("Alert"));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toInt(), written - 3);
    rig.now += 60'000'000'000;
    rig.panel.UploadTimer_Timer();
    QCOMPARE(rig.port.writes.size(), written);
}

void TestPicturePanel::portClosedUnderTheUpload_data() {
    QTest::addColumn<bool>("shown");
    QTest::newRow("window shown: told") << true;
    QTest::newRow("window gone: silent") << false;
}

void TestPicturePanel::portClosedUnderTheUpload() {
    QFETCH(bool, shown);
    Rig rig;
    if (shown)
        rig.panel.show();
    rig.panel.Command3_Click();
    rig.tickUntilWrites(803);
    const int written = int(rig.port.writes.size());
    rig.port.closePort();
    rig.tick();

    QVERIFY(!rig.panel.uploading());
    QCOMPARE(rig.port.writes.size(), written);
    QCOMPARE(rig.bar()->value(), 0);
    if (shown) {
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages.first().text,
                 QStringLiteral("The picture upload stopped after %1 of 2560 bytes: the port was "
                                "closed.")
                     .arg(written - 3));
    } else {
        QVERIFY(rig.dialogs.messages.isEmpty());
    }
}

void TestPicturePanel::nothingElseDuringAnUpload() {
    Rig rig;
    rig.openPicture(bitmap(160, 128, testbmp::pattern));
    const UploadBuffer buffer = rig.panel.uploadBuffer();
    rig.panel.Command3_Click();
    rig.tickUntilWrites(10);
    QVERIFY(rig.panel.uploading());
    const int written = int(rig.port.writes.size());

    rig.panel.Command3_Click(); // a second Send does not start over
    QCOMPARE(rig.port.writes.size(), written);
    rig.dialogs.fileNames.enqueue(
        rig.writeFile("other.bmp", testbmp::write(bitmap(160, 128, testbmp::otherPattern))));
    rig.panel.Command5_Click(); // nor does Open change what is being sent
    QCOMPARE(rig.dialogs.fileFilters.size(), 1);
    QCOMPARE(rig.panel.uploadBuffer(), buffer);

    rig.tick();
    const testbmp::Spec sent = bitmap(160, 128, testbmp::pattern);
    QList<int> pageBytes;
    for (int s = 0; s < 2560; ++s)
        pageBytes << pageByte(sent, s / 160, s % 160);
    COMPARE_HEX(rig.port.writes, uploadOf(pageBytes));
}

// The upload belongs to the session: a panel that goes away leaves it running to its end,
// and nothing refers to the panel any more.
void TestPicturePanel::panelDestroyedDuringAnUpload() {
    FakeSerialPort port;
    engine::BoardSession session{port};
    RecordingDialogs dialogs;
    port.setOpenForTest(true);
    port.setSettings(protocol::LineSettings{115200});
    auto* panel = new PicturePanel(session, dialogs);
    panel->show();
    panel->Command3_Click();
    QVERIFY(session.uploading());
    QTRY_VERIFY(port.writes.size() > 10); // the real timer paces it
    delete panel;
    QTRY_VERIFY_WITH_TIMEOUT(!session.uploading(), 10000);
    QCOMPARE(port.writes.size(), 2563);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestPicturePanel::windowClosedDuringAnUpload() {
    auto fixture = std::make_unique<WindowFixture>();
    fixture->port.setOpenForTest(true);
    fixture->window->show();
    auto* panel = fixture->window->findChild<PicturePanel*>();
    QVERIFY(panel);
    panel->Command3_Click();
    QTRY_VERIFY(fixture->port.writes.size() > 10);

    fixture->window->close(); // the window releases the port
    QVERIFY(!fixture->port.portOpen());
    QTRY_VERIFY(!panel->uploading());
    fixture->window.reset();
    QVERIFY(fixture->dialogs.messages.isEmpty());
}

QTEST_MAIN(TestPicturePanel)
#include "tst_picturepanel.moc"
