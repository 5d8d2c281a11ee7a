#include "panels/picture/PicturePanel.h"

#include "app/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "panels/picture/BitmapReadResult.h"
#include "panels/picture/BitmapReader.h"
#include "panels/picture/UploadProgressDialog.h"
#include "protocol/BaudRates.h"
#include "protocol/Messages.h"
#include "serial/SerialPort.h"

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
#include <QTimer>
#include <algorithm>
#include <span>

namespace {

const QString kFilter = QStringLiteral("Bitmap (*.bmp)");
const QString kDimensions = QStringLiteral("Dimensions:");
const QString kError = QStringLiteral("Error");
const QString kAlert = QStringLiteral("Alert");

// The preview shows the picture at a whole multiple of its size, as large as fits.
constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 256;
constexpr int kPreviewFrame = 2;

// The longest a tick waits; the pacer says how long, this only bounds it.
constexpr int kMaxTickMs = 50;

QString number(std::int64_t n) {
    return QString::number(n);
}

} // namespace

PicturePanel::PicturePanel(SerialPort& port, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), port_(port), dialogs_(dialogs) {
    using namespace widgets;
    elapsed_.start();
    clock_ = [this] { return elapsed_.nsecsElapsed(); };

    auto* picture = frame(this, "FramePicture", QStringLiteral("Picture"));
    Command5_ = button(picture, "Command5", QStringLiteral("Open"), QStringLiteral("Open picture"));
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
    grid->addWidget(Command5_, 0, 0);
    grid->addWidget(Label3_, 0, 1);
    grid->addWidget(picBox_, 1, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(Command3_, 2, 0);
    grid->addWidget(ProgressBar1_, 2, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);

    UploadTimer_ = new QTimer(this);
    UploadTimer_->setObjectName(QStringLiteral("UploadTimer"));
    UploadTimer_->setSingleShot(true);
    UploadTimer_->setTimerType(Qt::PreciseTimer);

    connect(Command5_, &QPushButton::clicked, this, &PicturePanel::Command5_Click);
    connect(Command3_, &QPushButton::clicked, this, &PicturePanel::Command3_Click);
    connect(UploadTimer_, &QTimer::timeout, this, &PicturePanel::UploadTimer_Timer);
}

PicturePanel::~PicturePanel() {
    // The children (timer, dialog) go only after this body: cut them off from this panel first,
    // so that an upload running at shutdown just stops.
    UploadTimer_->stop();
    if (progress_)
        progress_->disconnect(this);
    pacer_.reset();
}

void PicturePanel::setUploadClock(UploadPacer::Clock clock) {
    clock_ = std::move(clock);
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

void PicturePanel::Command5_Click() {
    if (uploading())
        return;
    const QString fileName = dialogs_.openFileName(this, kFilter);
    if (fileName.isEmpty())
        return; // cancelled: nothing happens at all
    emit responseCleared();

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        refuse(fileName, QStringLiteral("it cannot be read (%1).").arg(file.errorString()));
        return;
    }
    const QByteArray bytes = file.read(kMaxFileBytes);
    if (file.error() != QFileDevice::NoError) {
        refuse(fileName, QStringLiteral("it cannot be read (%1).").arg(file.errorString()));
        return;
    }
    file.close();

    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             std::size_t(bytes.size()));
    const BitmapReadResult result = BitmapReader::read(data, pageBytes_);
    if (!result.ok()) {
        refuse(fileName, refusalReason(result));
        return;
    }
    const int width = int(result.width);
    const int height = int(result.height);
    uploadBuffer_.pack(pageBytes_, width, result.pageCount);
    showPicture(width, height);
    Label3_->setText(QStringLiteral("Dimensions: %1 x %2").arg(width).arg(height));
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
    if (!port_.portOpen()) {
        ProgressBar1_->setValue(0);
        return;
    }
    for (int s = 0; s < kScreenBytes; ++s)
        screen_[std::size_t(s)] = std::uint8_t(255 - uploadBuffer_.stream(s));
    // Without a readable rate, pace for the slowest one the board knows.
    const int baud = protocol::baudOfSettings(port_.settings()).value_or(protocol::baudOfIndex(0));
    pacer_.emplace(baud, kMessageBytes, kSetupMessages + kScreenBytes, clock_);
    pacer_->start();
    nextMessage_ = 0;
    ProgressBar1_->setValue(0);

    if (!progress_) {
        progress_ = new UploadProgressDialog(kScreenBytes, this);
        connect(progress_, &QDialog::rejected, this, &PicturePanel::cancelUpload);
    }
    progress_->setValue(0);
    progress_->show();
    UploadTimer_Timer();
}

QByteArray PicturePanel::messageAt(int index) const {
    switch (index) {
    case 0:
        return protocol::setTouchMode(protocol::kTouchOff);
    case 1:
        return protocol::setPage(0);
    case 2:
        return protocol::setColumn(0);
    default:
        return protocol::putPattern(screen_[std::size_t(index - kSetupMessages)]);
    }
}

int PicturePanel::pageBytesSent() const {
    return std::max(0, nextMessage_ - kSetupMessages);
}

void PicturePanel::UploadTimer_Timer() {
    if (!pacer_)
        return;
    if (!port_.portOpen()) {
        endUpload(Ending::PortClosed);
        return;
    }
    const int count = pacer_->take(port_.bytesToWrite());
    for (int i = 0; i < count; ++i) {
        const bool written = port_.output(messageAt(nextMessage_));
        if (!pacer_)
            return; // ended while the port reported its failure
        if (!written) {
            endUpload(Ending::WriteFailed);
            return;
        }
        ++nextMessage_;
    }
    ProgressBar1_->setValue(pageBytesSent());
    if (progress_)
        progress_->setValue(pageBytesSent());
    if (pacer_->done()) {
        endUpload(Ending::Completed);
        return;
    }
    const qint64 waitNs = pacer_->nsUntilNext();
    UploadTimer_->start(std::clamp(int((waitNs + 999'999) / 1'000'000), 1, kMaxTickMs));
}

void PicturePanel::cancelUpload() {
    if (uploading())
        endUpload(Ending::Cancelled);
}

void PicturePanel::endUpload(Ending ending) {
    if (!pacer_)
        return;
    const int sent = pageBytesSent();
    pacer_.reset();
    UploadTimer_->stop();
    ProgressBar1_->setValue(0);
    if (progress_)
        progress_->hide();
    emit uploadFinished(sent);

    const QString soFar = QStringLiteral("after %1 of %2 bytes").arg(sent).arg(kScreenBytes);
    switch (ending) {
    case Ending::Completed:
        break;
    case Ending::Cancelled:
        dialogs_.message(this, QStringLiteral("The picture upload was cancelled %1.").arg(soFar),
                         MessageStyle::InformationOk, kAlert);
        break;
    case Ending::WriteFailed:
        dialogs_.message(
            this, QStringLiteral("The picture upload stopped %1: the port failed.").arg(soFar),
            MessageStyle::CriticalOk, kError);
        break;
    case Ending::PortClosed:
        // Closed under it: by the window shutting down (say nothing), or by the connection.
        if (window()->isVisible())
            dialogs_.message(
                this,
                QStringLiteral("The picture upload stopped %1: the port was closed.").arg(soFar),
                MessageStyle::CriticalOk, kError);
        break;
    }
}
