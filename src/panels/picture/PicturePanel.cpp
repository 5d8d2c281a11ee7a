#include "panels/picture/PicturePanel.h"

#include "engine/FileSaver.h"
#include "panels/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "panels/picture/ConvertPictureDialog.h"
#include "panels/picture/ScreenSaveAs.h"
#include "panels/picture/UploadProgressDialog.h"
#include "picture/BitmapWriter.h"
#include "picture/ImageLoader.h"
#include "picture/PictureFile.h"
#include "protocol/CommandCode.h"

#include <QDialogButtonBox>
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

namespace {

const QString kFilter = QStringLiteral("Bitmap (*.bmp)");
const QString kDimensions = QStringLiteral("Dimensions:");
const QString kError = QStringLiteral("Error");
const QString kAlert = QStringLiteral("Alert");

// The preview shows the picture at a whole multiple of its size, as large as fits.
constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 256;
constexpr int kPreviewFrame = 2;

} // namespace

PicturePanel::PicturePanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs) {
    using namespace widgets;

    auto* picture = frame(this, "FramePicture", QStringLiteral("Picture"));
    Command5_ = button(picture, "Command5", QStringLiteral("Open"), QStringLiteral("Open picture"));
    cmdSaveBitmap_ = button(picture, "cmdSaveBitmap", QStringLiteral("Save As Bitmap..."),
                            QStringLiteral("Save picture as bitmap"));
    cmdSaveBitmap_->setToolTip(
        QStringLiteral("Saves the screen that Send uploads as a %1 x %2 one-bit BMP file")
            .arg(protocol::kColumns)
            .arg(protocol::kRows));
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
    openPicture(fileName);
}

void PicturePanel::openPicture(const QString& fileName) {
    if (uploading() || converter_)
        return;
    const PictureFile picture = PictureFile::open(fileName);
    if (!picture.ok()) {
        emit responseCleared();
        refuse(fileName, picture.error);
        return;
    }
    if (picture.toConvert()) {
        convert(fileName, picture.image);
        return;
    }
    emit responseCleared();
    take(picture.pages, picture.width, picture.height);
}

void PicturePanel::convert(const QString& fileName, const LoadedImage& loaded) {
    converter_ = new ConvertPictureDialog(loaded.image, this);
    if (loaded.reduced())
        converter_->setOriginalSizeSource(
            [fileName] { return ImageLoader::loadCentre(fileName).image; });
    // Window-modal without a nested event loop: OK takes the screen, Cancel changes nothing.
    connect(converter_, &QDialog::accepted, this, [this, dialog = converter_.data()] {
        emit responseCleared();
        take(dialog->result(), protocol::kColumns, protocol::kRows);
    });
    connect(converter_, &QDialog::finished, converter_, &QObject::deleteLater);
    // "Save As...": the converted screen as a file, without taking it.
    ScreenSaveAs::addButton(
        converter_, converter_->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")),
        dialogs_, QFileInfo(fileName).fileName(),
        [dialog = converter_.data()] { return dialog->result(); },
        [dialog = converter_.data()] { return dialog->options(); });
    converter_->open();
}

void PicturePanel::take(const PageBytes& pages, int width, int height) {
    const int pageCount = (height + protocol::kRowsPerPage - 1) / protocol::kRowsPerPage;
    for (int p = 0; p < pageCount; ++p)
        for (int x = 0; x < width; ++x)
            pageBytes_.set(p, x, pages.at(p, x));
    uploadBuffer_.pack(pageBytes_, width, pageCount);
    showPicture(width, height);
    Label3_->setText(QStringLiteral("Dimensions: %1 x %2").arg(width).arg(height));
    cmdSaveBitmap_->setEnabled(true);
}

void PicturePanel::cmdSaveBitmap_Click() {
    const QString fileName = dialogs_.saveFileName(
        this, kFilter, suggestedFileName(QStringLiteral("picture"), QStringLiteral("bmp")));
    if (fileName.isEmpty())
        return;
    // What "Send" uploads, page by page.
    const protocol::Screen sent = uploadBuffer_.screen();
    PageBytes screen;
    for (int s = 0; s < kScreenBytes; ++s)
        screen.set(s / protocol::kColumns, s % protocol::kColumns, sent[std::size_t(s)]);
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
    const engine::Screen screen = uploadBuffer_.screen();
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
