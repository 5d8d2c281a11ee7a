#include "app/LogoLabel.h"

#include <QMouseEvent>
#include <QPainter>

LogoLabel::LogoLabel(QWidget* parent) : QLabel(parent) {
    setPixmap(drawLogo(72));
    setFixedSize(72, 72);
}

QPixmap LogoLabel::drawLogo(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 40, 48));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 8.0, size / 8.0);
    const QRectF screen(size * 0.1, size * 0.1, size * 0.8, size * 0.8);
    p.setBrush(QColor(0, 0, 255));
    p.drawRect(screen);
    // A "V" in square LCD pixels, pale as the display's lit pixels.
    static const char* const kGlyph[] = {"10000001", "10000001", "01000010", "01000010",
                                         "00100100", "00100100", "00011000", "00011000"};
    const qreal cell = screen.width() / 10.0;
    p.setBrush(QColor(192, 255, 255));
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 8; ++col)
            if (kGlyph[row][col] == '1')
                p.drawRect(QRectF(screen.left() + (col + 1) * cell + 1,
                                  screen.top() + (row + 1) * cell + 1, cell - 2, cell - 2));
    return pixmap;
}

void LogoLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClicked();
    event->accept();
}
