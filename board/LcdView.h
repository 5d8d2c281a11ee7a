#pragma once
// The board's LCD as the user sees it: a blue negative panel at an integer zoom, painted by
// glassImage() (picture/GlassImage.h) from display::glassOf() in the board's colours.
// A click on the panel is a touch of the glass.

#include <QImage>
#include <QWidget>

namespace display {
class BoardModel;
}

class LcdView : public QWidget {
    Q_OBJECT
public:
    explicit LcdView(const display::BoardModel& model, int zoom = 4, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    int zoom() const { return zoom_; }

    // Redraws the panel from the model (when its revision has moved on).
    void refresh();

    // The picture of the panel, one pixel per LCD pixel (tests and screenshots).
    QImage panelImage() const;

signals:
    void touched(int x, int y); // pixel of the glass, 0..159 x 0..127

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect panelRect() const;
    void render();

    const display::BoardModel& model_;
    int zoom_;
    QImage image_; // the panel at zoom, with the gaps between pixels
    quint64 shownRevision_ = ~quint64(0);
};
