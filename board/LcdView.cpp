#include "board/LcdView.h"

#include "display/BoardModel.h"
#include "display/Glass.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kBezel = 14; // dark frame around the glass

QRgb mix(QRgb a, QRgb b, double t) {
    auto channel = [t](int x, int y) { return int(x + (y - x) * t + 0.5); };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
                channel(qBlue(a), qBlue(b)));
}

QRgb scaled(QRgb c, double f) {
    return qRgb(int(qRed(c) * f), int(qGreen(c) * f), int(qBlue(c) * f));
}

} // namespace

LcdView::LcdView(const display::BoardModel& model, int zoom, QWidget* parent)
    : QWidget(parent), model_(model), zoom_(std::clamp(zoom, 1, 8)) {
    setObjectName(QStringLiteral("lcdView"));
    setAccessibleName(QStringLiteral("LCD"));
    setToolTip(QStringLiteral("Click to touch the screen"));
    setCursor(Qt::CrossCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    render();
}

QSize LcdView::sizeHint() const {
    return {protocol::kColumns * zoom_ + 2 * kBezel, protocol::kRows * zoom_ + 2 * kBezel};
}

QRect LcdView::panelRect() const {
    return {kBezel, kBezel, protocol::kColumns * zoom_, protocol::kRows * zoom_};
}

void LcdView::refresh() {
    if (model_.revision() == shownRevision_)
        return;
    render();
    update();
}

QImage LcdView::panelImage() const {
    QImage small(protocol::kColumns, protocol::kRows, QImage::Format_RGB32);
    for (int y = 0; y < protocol::kRows; ++y)
        for (int x = 0; x < protocol::kColumns; ++x)
            small.setPixel(x, y, image_.pixel(x * zoom_, y * zoom_));
    return small;
}

void LcdView::render() {
    shownRevision_ = model_.revision();
    // Contrast: lit pixels fade into the background towards 0; above 64 the unlit pixels start
    // to darken into view, as on an over-driven LCD. The default (32) gives the plain colours.
    const int contrast = model_.contrast();
    QRgb lit = mix(kUnlit, kLit, std::min(1.0, contrast / 32.0));
    QRgb unlit = contrast > 64 ? mix(kUnlit, kLit, (contrast - 64) / 63.0 * 0.45) : kUnlit;
    if (!model_.lcdOn())
        lit = unlit = kUnlit; // nothing driven: the bare blue panel
    if (!model_.backlightOn()) {
        lit = scaled(lit, 0.25);
        unlit = scaled(unlit, 0.25);
    }
    // With room for it, a thin gap between the pixels, as on the glass.
    const int gap = zoom_ >= 3 ? 1 : 0;
    const QRgb litGap = scaled(lit, 0.85);
    const QRgb unlitGap = scaled(unlit, 0.85);

    const display::Glass glass = display::glassOf(model_);
    image_ = QImage(protocol::kColumns * zoom_, protocol::kRows * zoom_, QImage::Format_RGB32);
    for (int y = 0; y < protocol::kRows; ++y) {
        for (int dy = 0; dy < zoom_; ++dy) {
            auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y * zoom_ + dy));
            const bool gapRow = dy == zoom_ - gap;
            for (int x = 0; x < protocol::kColumns; ++x) {
                const bool on = glass.lit(x, y);
                const QRgb c = on ? lit : unlit;
                const QRgb g = on ? litGap : unlitGap;
                for (int dx = 0; dx < zoom_; ++dx)
                    line[x * zoom_ + dx] = (gapRow || dx == zoom_ - gap) ? g : c;
            }
        }
    }
}

void LcdView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x2b, 0x2d, 0x31));
    p.setPen(QColor(0x55, 0x58, 0x5e));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawImage(panelRect().topLeft(), image_);
}

void LcdView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint() - panelRect().topLeft();
    if (event->button() != Qt::LeftButton || at.x() < 0 || at.y() < 0 ||
        at.x() >= panelRect().width() || at.y() >= panelRect().height()) {
        QWidget::mousePressEvent(event);
        return;
    }
    emit touched(at.x() / zoom_, at.y() / zoom_);
}
