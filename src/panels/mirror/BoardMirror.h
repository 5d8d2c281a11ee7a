#pragma once
// frmBoardMirror, the "Board Mirror" window: the 160 x 128 screen as the board should now show
// it, worked out from the bytes this session has sent (SentScreen), in the board's blue-negative
// look at 2x. It follows display mode, rotation, page flip, LCD power, contrast and backlight,
// because it paints display::glassOf() through glassImage(), as the virtual board's LCD does.
// It says plainly that it shows what was sent and not what the board reports: nothing is read
// back from the board.
//
//   name              caption                  what it does
//   captionLabel      "Shows what was sent..."  says where the picture comes from
//   screenView        (the screen, 2x)         its accessible description names the settings
//   settingsLabel     "LCD on, normal, ..."    the display settings and the lit pixels in words
//   saveScreenButton  "Save Screen As..."      PNG: the glass as shown; BMP: the display memory
//                                              as a one-bit bitmap that "Open" takes back
//
// The model is fed on every write, shown or not; the picture is redrawn only while the window
// is open, at most every kRefreshMs and only when the screen has changed, so that an upload
// costs it a few redraws and not one per byte.

#include "panels/mirror/SentScreen.h"

#include <QImage>
#include <QWidget>

class Dialogs;
class QLabel;
class QPushButton;
class QTimer;
namespace engine {
class BoardSession;
}

class BoardMirror : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScale = 2;
    static constexpr int kRefreshMs = 100;

    BoardMirror(engine::BoardSession& session, Dialogs& dialogs, QWidget* parent = nullptr);

    const SentScreen& sentScreen() const { return screen_; }
    SentScreen& sentScreen() { return screen_; }
    // The glass as the window shows it, at kScale (also what a PNG holds).
    QImage screenImage() const;
    // The bytes "Save Screen As..." writes for `fileName` (by its extension); empty for an
    // extension that is neither .png nor .bmp.
    QByteArray fileBytes(const QString& fileName) const;

public slots:
    // Redraws the screen when it has changed since the last time (the timer's tick).
    void refresh();
    void saveScreen();

signals:
    // The window was shown or closed.
    void shownChanged(bool shown);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QString settingsText(int litPixels) const;

    Dialogs& dialogs_;
    SentScreen screen_;
    QLabel* captionLabel_;
    QLabel* screenView_;
    QLabel* settingsLabel_;
    QPushButton* saveScreenButton_;
    QTimer* refreshTimer_;
    quint64 shownRevision_ = ~quint64(0);
};
