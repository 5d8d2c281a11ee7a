#include "panels/picture/PicturePanel.h"

#include "engine/FileSaver.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "panels/picture/ConvertPictureDialog.h"
#include "panels/picture/UploadProgressDialog.h"
#include "picture/BitmapReadResult.h"
#include "picture/BitmapReader.h"
#include "picture/BitmapWriter.h"
#include "picture/ImageLoader.h"
#include "picture/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <span>

namespace {

const QString kFilter = QStringLiteral("Bitmap (*.bmp)");
const QString kDimensions = QStringLiteral("Dimensions:");
const QString kError = QStringLiteral("Error");
const QString kAlert = QStringLiteral("Alert");
// The board's screen, which a converted picture fills and "Save As Bitmap..." writes.
constexpr int kScreenWidth = 160;
constexpr int kScreenPages = 16;

// The preview shows the picture at a whole multiple of its size, as large as fits.
constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 256;
constexpr int kPreviewFrame = 2;

QString number(std::int64_t n) {
    return QString::number(n);
}

} // namespace

PicturePanel::PicturePanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    auto* picture = frame(this, "FramePicture", QStringLiteral("Picture"));
    Command5_ = button(picture, "Command5", QStringLiteral("Open"), QStringLiteral("Open picture"));
    cmdSaveBitmap_ = button(picture, "cmdSaveBitmap", QStringLiteral("Save As Bitmap..."),
                       QStringLiteral("Save picture as bitmap"));
    cmdSaveBitmap_->setToolTip(QStringLiteral("Saves the screen that Send uploads as a 160 x 128 "
                                         "one-bit BMP file"));
    cmdSaveBitmap_->setEnabled(false); // nothing to save before a picture is opened
    Command3_ = button(picture, "Command3", QStringLiteral("Send"), QStringLiteral("Send picture"));
    Label3_ = new QLabel(kDimensions, picture);
    Label3_->setObjectName(QStringLiteral("Label3"));

    picBox_ = new QLabel(picture);
    picBox_->setObjectName(QStringLiteral("picBox"));
    picBox_->setAccessibleName(QStringLiteral("Picture"));
    picBox_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picBox_->setLineWidth(kPreviewFrame);
    picBox_->setFixedSize(kPreviewWidth + 2 * kPreviewFrame, kPreviewHeight + 2 * kPreviewFrame);
    picBox_->setAlignment(Qt::AlignCenter);
    picBox_->setAutoFillBackground(true);
    QPalette white = picBox_->palette();
    white.setColor(QPalette::Window, Qt::white);
    picBox_->setPalette(white);

    ProgressBar1_ = new QProgressBar(picture);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setAccessibleName(QStringLiteral("Picture upload progress"));
    ProgressBar1_->setRange(0, kScreenBytes);
    ProgressBar1_->setValue(0);

    auto* grid = new QGridLayout(picture);
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(Command5_);
    fileButtons->addWidget(cmdSaveBitmap_);
    grid->addLayout(fileButtons, 0, 0);
    grid->addWidget(Label3_, 0, 1);
    grid->addWidget(picBox_, 1, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(Command3_, 2, 0);
    grid->addWidget(ProgressBar1_, 2, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);

    connect(Command5_, &QPushButton::clicked, this, &PicturePanel::Command5_Click);
    connect(Command3_, &QPushButton::clicked, this, &PicturePanel::Command3_Click);
    connect(cmdSaveBitmap_, &QPushButton::clicked, this, &PicturePanel::cmdSaveBitmap_Click);
    connect(&session_, &engine::BoardSession::uploadProgress, this, &PicturePanel::showProgress);
    connect(&session_, &engine::BoardSession::uploadFinished, this,
            &PicturePanel::onUploadFinished);
}

PicturePanel::~PicturePanel() {
    // The dialog goes only after this body: cut it off from this panel first, so that an
    // upload running at shutdown just stops.
    if (progress_)
        progress_->disconnect(this);
}

QString PicturePanel::refusalReason(const BitmapReadResult& r) {
    using Error = BitmapReadResult::Error;
    switch (r.error) {
    case Error::None:
        break;
    case Error::NotBmp:
        return QStringLiteral("it is not a BMP picture.");
    case Error::UnknownHeader:
        return QStringLiteral("its BMP header (%1 bytes) is of a kind this program does not read.")
            .arg(number(r.headerSize));
    case Error::Malformed:
        return QStringLiteral("it is not a valid BMP picture.");
    case Error::NotOneBit:
        return QStringLiteral("it has %1 bits per pixel; only one-bit (black and white) pictures "
                              "can be sent.")
            .arg(number(r.bitsPerPixel));
    case Error::Compressed:
        return QStringLiteral("it is compressed; only uncompressed one-bit pictures can be sent.");
    case Error::TooLarge:
        return QStringLiteral("the picture is %1 x %2 pixels; the largest that can be sent is "
                              "256 x 128.")
            .arg(number(r.width), number(r.height));
    case Error::Truncated:
        return QStringLiteral("the file ends before its picture data does.");
    }
    return {};
}

QString PicturePanel::openFilter() {
    return kFilter + QStringLiteral(";;Images (%1);;All files (*)")
                         .arg(ImageLoader::nameFilters().join(QLatin1Char(' ')));
}

void PicturePanel::Command5_Click() {
    if (uploading() || converter_)
        return;
    const QString fileName = dialogs_.openFileName(this, openFilter());
    if (fileName.isEmpty())
        return; // cancelled: nothing happens at all

    // Only a regular file is read: a named pipe or a device would block the window.
    QFile file;
    QString why = RegularFile::open(fileName, file);
    QByteArray bytes;
    if (why.isEmpty()) {
        // Only a BMP can go the one-bit way; other pictures are read by the picture loader.
        bytes = file.peek(2) == "BM" ? file.read(kMaxFileBytes) : file.read(2);
        if (file.error() != QFileDevice::NoError)
            why = QStringLiteral("it cannot be read (%1).").arg(file.errorString());
    }
    file.close();
    if (!why.isEmpty()) {
        emit responseCleared();
        refuse(fileName, why);
        return;
    }

    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             std::size_t(bytes.size()));
    const BitmapReadResult result = BitmapReader::read(data, pageBytes_);
    if (result.ok()) {
        emit responseCleared();
        const int width = int(result.width);
        const int height = int(result.height);
        uploadBuffer_.pack(pageBytes_, width, result.pageCount);
        showPicture(width, height);
        Label3_->setText(QStringLiteral("Dimensions: %1 x %2").arg(width).arg(height));
        cmdSaveBitmap_->setEnabled(true);
        return;
    }
    // A BMP broken as a BMP is not handed on: its own reason is the clearer one.
    using Error = BitmapReadResult::Error;
    if (result.error == Error::Truncated || result.error == Error::Malformed ||
        result.error == Error::UnknownHeader) {
        emit responseCleared();
        refuse(fileName, refusalReason(result));
        return;
    }

    const LoadedImage loaded = ImageLoader::load(fileName);
    if (!loaded.ok()) {
        emit responseCleared();
        refuse(fileName, loaded.error);
        return;
    }
    convert(fileName, loaded);
}

void PicturePanel::convert(const QString& fileName, const LoadedImage& loaded) {
    converter_ = new ConvertPictureDialog(loaded.image, this);
    if (loaded.reduced())
        converter_->setOriginalSizeSource(
            [fileName] { return ImageLoader::loadCentre(fileName).image; });
    // Window-modal without a nested event loop: OK takes the screen, Cancel changes nothing.
    connect(converter_, &QDialog::accepted, this, [this, dialog = converter_.data()] {
        emit responseCleared();
        takeScreen(dialog->result());
    });
    connect(converter_, &QDialog::finished, converter_, &QObject::deleteLater);
    converter_->open();
}

void PicturePanel::takeScreen(const PageBytes& screen) {
    for (int p = 0; p < kScreenPages; ++p)
        for (int x = 0; x < kScreenWidth; ++x)
            pageBytes_.set(p, x, screen.at(p, x));
    uploadBuffer_.pack(pageBytes_, kScreenWidth, kScreenPages);
    showPicture(kScreenWidth, kScreenPages * 8);
    Label3_->setText(QStringLiteral("Dimensions: %1 x %2").arg(kScreenWidth).arg(kScreenPages * 8));
    cmdSaveBitmap_->setEnabled(true);
}

void PicturePanel::cmdSaveBitmap_Click() {
    const QString fileName = dialogs_.saveFileName(this, kFilter);
    if (fileName.isEmpty())
        return;
    // What "Send" uploads: the first 2,560 bytes of the stream as 16 pages of 160 columns.
    PageBytes screen;
    for (int s = 0; s < kScreenBytes; ++s)
        screen.set(s / kScreenWidth, s % kScreenWidth, std::uint8_t(255 - uploadBuffer_.stream(s)));
    const QByteArray bytes = BitmapWriter::write(screen);

    // Only a regular file or a new name; a failure leaves the old file.
    if (const QString why = engine::FileSaver::save(fileName, bytes); !why.isEmpty())
        dialogs_.message(this,
                         QStringLiteral("The file %1 cannot be written: %2.")
                             .arg(QFileInfo(fileName).fileName(), why),
                         MessageStyle::CriticalOk, kError);
}

void PicturePanel::refuse(const QString& fileName, const QString& reason) {
    dialogs_.message(this,
                     QStringLiteral("The file %1 cannot be used: %2")
                         .arg(QFileInfo(fileName).fileName(), reason),
                     MessageStyle::CriticalOk, kError);
}

void PicturePanel::showPicture(int width, int height) {
    // Lit pixels are the picture's lighter colour: the picture looks as it does in the file.
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool lit = (pageBytes_.at(y / 8, x) >> (y % 8)) & 1;
            image.setPixel(x, y, lit ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    const int scale = std::max(1, std::min(kPreviewWidth / width, kPreviewHeight / height));
    picBox_->setPixmap(QPixmap::fromImage(image.scaled(
        width * scale, height * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void PicturePanel::Command3_Click() {
    if (uploading())
        return;
    if (!session_.portOpen()) {
        ProgressBar1_->setValue(0);
        return;
    }
    engine::BoardSession::Screen screen;
    for (int s = 0; s < kScreenBytes; ++s)
        screen[std::size_t(s)] = std::uint8_t(255 - uploadBuffer_.stream(s));
    ProgressBar1_->setValue(0);
    if (!progress_) {
        progress_ = new UploadProgressDialog(kScreenBytes, this);
        connect(progress_, &QDialog::rejected, this, &PicturePanel::cancelUpload);
    }
    progress_->setValue(0);
    progress_->show();
    ownUpload_ = true;
    if (!session_.startUpload(screen)) {
        ownUpload_ = false;
        progress_->hide();
    }
}

void PicturePanel::UploadTimer_Timer() {
    session_.uploadTick();
}

void PicturePanel::cancelUpload() {
    if (ownUpload_)
        session_.cancelUpload();
}

void PicturePanel::showProgress(int pageBytesSent) {
    if (!ownUpload_)
        return;
    ProgressBar1_->setValue(pageBytesSent);
    if (progress_)
        progress_->setValue(pageBytesSent);
}

void PicturePanel::onUploadFinished(engine::UploadEnding ending, int sent) {
    if (!ownUpload_)
        return;
    ownUpload_ = false;
    ProgressBar1_->setValue(0);
    if (progress_)
        progress_->hide();
    emit uploadFinished(sent);

    using engine::UploadEnding;
    const QString soFar = QStringLiteral("after %1 of %2 bytes").arg(sent).arg(kScreenBytes);
    switch (ending) {
    case UploadEnding::Completed:
    case UploadEnding::PortLost: // the lost-port message says how far it got
        break;
    case UploadEnding::Cancelled:
        dialogs_.message(this, QStringLiteral("The picture upload was cancelled %1.").arg(soFar),
                         MessageStyle::InformationOk, kAlert);
        break;
    case UploadEnding::WriteFailed:
        dialogs_.message(
            this, QStringLiteral("The picture upload stopped %1: the port failed.").arg(soFar),
            MessageStyle::CriticalOk, kError);
        break;
    case UploadEnding::PortClosed:
        // Closed under it: by the window shutting down (say nothing), or by the connection.
        if (window()->isVisible())
            dialogs_.message(
                this,
                QStringLiteral("The picture upload stopped %1: the port was closed.").arg(soFar),
                MessageStyle::CriticalOk, kError);
        break;
    }
}
