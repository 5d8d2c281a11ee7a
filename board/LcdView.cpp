#include "board/LcdView.h"

#include "display/BoardModel.h"
#include "display/Glass.h"
#include "picture/GlassImage.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
constexpr int kBezel = 14; // dark frame around the glass
}


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
    image_ = glassImage(display::glassOf(model_), boardColours(model_), zoom_, true);
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
