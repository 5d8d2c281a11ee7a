#pragma once
// Shown while a picture goes to the board: how far the upload has got, and a way to stop it.
// It is application-modal, so no other control of any window can send anything until the
// upload ends, while the windows keep repainting and the timers keep running. It is only ever
// shown, never exec()'d: the upload runs on the window's own event loop.
//
// Cancel, Esc and the close box all reject the dialog.

#include <QDialog>

class QProgressBar;

class UploadProgressDialog : public QDialog {
    Q_OBJECT
public:
    UploadProgressDialog(int maximum, QWidget* parent);

    void setValue(int value);
    int value() const;

private:
    QProgressBar* bar_;
};
