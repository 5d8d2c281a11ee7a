#pragma once
// The "Picture" frame of the "Graphic" page. "Open" reads a one-bit BMP file into the display's
// page layout and the upload buffer; "Send" uploads one full screen (2,560 page bytes) to the
// board.
//
// Upload states: Idle -> Sending -> Idle. While sending, UploadTimer paces the messages by the
// line's own speed (UploadPacer), a few per tick, on the window's event loop: no busy waiting,
// the window keeps repainting and the progress bars move. The application-modal progress dialog
// keeps every other control of the program from sending in between, and offers Cancel. A
// cancelled or failed upload stops at once and says how far it got.

#include "panels/picture/PageBytes.h"
#include "panels/picture/UploadBuffer.h"
#include "panels/picture/UploadPacer.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>

class Dialogs;
class SerialPort;
class UploadProgressDialog;
struct BitmapReadResult;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class PicturePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScreenBytes = 2560;                 // 160 columns x 16 pages
    static constexpr int kSetupMessages = 3;                  // touch off, page 0, column 0
    static constexpr int kMessageBytes = 2;                   // every message of the upload
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024; // far beyond any usable picture

    PicturePanel(SerialPort& port, Dialogs& dialogs, QWidget* parent = nullptr);
    ~PicturePanel() override;

    const PageBytes& pageBytes() const { return pageBytes_; }
    const UploadBuffer& uploadBuffer() const { return uploadBuffer_; }
    bool uploading() const { return pacer_.has_value(); }
    // The monotonic clock (nanoseconds) that paces uploads started from now on.
    void setUploadClock(UploadPacer::Clock clock);

    // Why a file was refused, as the user reads it after "The file ... cannot be used: ".
    static QString refusalReason(const BitmapReadResult& result);

public slots:
    void Command5_Click(); // "Open"
    void Command3_Click(); // "Send"
    // One pacing step of a running upload: hands over the messages that are due.
    void UploadTimer_Timer();
    // Stops a running upload and tells the user how far it got.
    void cancelUpload();

signals:
    // Opening a picture empties the "Controller Response" box.
    void responseCleared();
    // An upload has ended, complete or not, after this many of the 2,560 page bytes.
    void uploadFinished(int pageBytesSent);

private:
    enum class Ending { Completed, Cancelled, WriteFailed, PortClosed };

    void refuse(const QString& fileName, const QString& reason);
    void showPicture(int width, int height);
    QByteArray messageAt(int index) const;
    int pageBytesSent() const;
    void endUpload(Ending ending);

    SerialPort& port_;
    Dialogs& dialogs_;
    PageBytes pageBytes_;
    UploadBuffer uploadBuffer_;

    QElapsedTimer elapsed_;
    UploadPacer::Clock clock_;
    std::optional<UploadPacer> pacer_;
    std::array<std::uint8_t, kScreenBytes> screen_{}; // the page bytes of the running upload
    int nextMessage_ = 0;

    QPushButton* Command5_;
    QPushButton* Command3_;
    QLabel* picBox_;
    QLabel* Label3_;
    QProgressBar* ProgressBar1_;
    QTimer* UploadTimer_;
    QPointer<UploadProgressDialog> progress_;
};
