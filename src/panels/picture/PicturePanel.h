#pragma once
// The "Picture" frame of the "Graphic" page. "Open" reads a one-bit BMP file into the display's
// page layout and the upload buffer, or converts any other picture to the screen (PictureFile
// decides which); "Send" uploads one full screen (every column of every page) to the board
// through the session, which paces it by the line; "Save As Bitmap..." keeps that screen as a
// BMP file.
//
//   name          caption          what it does
//   Command5      "Open"           file dialog "Bitmap (*.bmp)" first, then "Images (...)" and
//                                  "All files (*)". A one-bit BMP the reader takes goes into
//                                  picBox and the upload buffer as it is, Label3 reading
//                                  "Dimensions: W x H"; any other picture opens "Convert
//                                  Picture", whose OK takes its screen the same way
//   cmdSaveBitmap "Save As Bitmap..."  the screen "Send" uploads, as a one-bit BMP of its size
//   Command3      "Send"           SetTouchMode 05 00, SetPage 06 00, SetColumn 12 00, then one
//                                  PutPattern 03 nn per page byte
//   picBox        (the picture)    the picture as it will look
//   ProgressBar1  (progress)       page bytes sent
//
// The application-modal progress dialog keeps every other control of the program from sending
// during an upload, and offers Cancel. A cancelled or failed upload stops at once and says how
// far it got.

#include "engine/BoardSession.h"
#include "picture/PageBytes.h"
#include "picture/UploadBuffer.h"

#include <QPointer>
#include <QWidget>

class ConvertPictureDialog;
class Dialogs;
class UploadProgressDialog;
struct LoadedImage;
class QLabel;
class QProgressBar;
class QPushButton;

class PicturePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScreenBytes = engine::BoardSession::kScreenBytes;

    PicturePanel(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);
    ~PicturePanel() override;

    const PageBytes& pageBytes() const { return pageBytes_; }
    const UploadBuffer& uploadBuffer() const { return uploadBuffer_; }
    bool uploading() const { return session_.uploading(); }

    // The file dialog's filter: one-bit BMPs first, then every picture Qt reads, then any file.
    static QString openFilter();

public slots:
    void Command5_Click(); // "Open"
    // Opens `fileName` as "Open" does once a file is chosen (the program's FILE argument).
    void openPicture(const QString& fileName);
    void Command3_Click(); // "Send"
    void cmdSaveBitmap_Click(); // "Save As Bitmap..."
    // One pacing step of a running upload (the session's UploadTimer).
    void UploadTimer_Timer();
    // Stops a running upload and tells the user how far it got.
    void cancelUpload();

signals:
    // Opening a picture empties the "Controller Response" box.
    void responseCleared();
    // An upload has ended, complete or not, after this many of the 2,560 page bytes.
    void uploadFinished(int pageBytesSent);

private:
    void refuse(const QString& fileName, const QString& reason);
    void convert(const QString& fileName, const LoadedImage& loaded);
    // Takes the picture's columns and pages into the page layout and the upload buffer.
    void take(const PageBytes& pages, int width, int height);
    void showPicture(int width, int height);
    void showProgress(int pageBytesSent);
    void onUploadFinished(engine::UploadEnding ending, int pageBytesSent);

    engine::BoardSession& session_;
    Dialogs& dialogs_;
    PageBytes pageBytes_;
    UploadBuffer uploadBuffer_;
    bool ownUpload_ = false; // the running upload was started here

    QPushButton* Command5_;
    QPushButton* Command3_;
    QPushButton* cmdSaveBitmap_;
    QLabel* picBox_;
    QLabel* Label3_;
    QProgressBar* ProgressBar1_;
    QPointer<UploadProgressDialog> progress_;
    QPointer<ConvertPictureDialog> converter_;
};
