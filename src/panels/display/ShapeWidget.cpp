#include "panels/display/ShapeWidget.h"

#include "protocol/CommandCode.h"

#include <QPainter>

namespace {
// One quarter of the display, scaled down.
constexpr QSize kQuarter(protocol::kColumns / 4, protocol::kRows / 4);
} // namespace

ShapeWidget::ShapeWidget(QWidget* parent, const char* objectName, const QColor& colour)
    : QWidget(parent), colour_(colour) {
    setObjectName(QString::fromLatin1(objectName));
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ShapeWidget::setColour(const QColor& colour) {
    if (colour == colour_)
        return;
    colour_ = colour;
    update();
}

QSize ShapeWidget::sizeHint() const {
    return kQuarter;
}

QSize ShapeWidget::minimumSizeHint() const {
    return kQuarter;
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
    // A thin dark edge keeps the pale reverse colour visible on a light window background.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
