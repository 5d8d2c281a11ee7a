#include "panels/drawing/TwipLayout.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <cmath>

namespace {

constexpr double kScaleStep = 0.05;
constexpr double kLargestScale = 4.0;
// Least free space between two neighbours on one row, in pixels.
constexpr int kGap = 4;

int scaled(int twips, double scale) {
    return static_cast<int>(std::lround(twips * scale / TwipLayout::kTwipsPerPixel));
}

// The size a control needs so that its caption or value shows whole; (0, 0) for a frame.
QSize neededSize(const QWidget* w) {
    const QFontMetrics fm = w->fontMetrics();
    if (qobject_cast<const QRadioButton*>(w)) {
        const int indicator =
            w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, w);
        return {w->sizeHint().width(), std::max(fm.height(), indicator)};
    }
    if (const auto* b = qobject_cast<const QPushButton*>(w)) {
        const int margin = w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
        return {fm.horizontalAdvance(b->text()) + 2 * margin + 2 * fm.averageCharWidth(),
                fm.height() + margin + 2};
    }
    if (qobject_cast<const QLineEdit*>(w)) {
        // Room for three digits, the largest byte, inside the frame.
        return {fm.horizontalAdvance(QStringLiteral("000")) + 12, fm.height() + 5};
    }
    if (qobject_cast<const QLabel*>(w))
        return w->sizeHint();
    return {0, 0};
}

// The part of a frame its controls may use: inside the border, below a title.
QRect usableArea(const QWidget* parent, QSize size) {
    constexpr int border = 2;
    int top = border;
    if (const auto* box = qobject_cast<const QGroupBox*>(parent); box && !box->title().isEmpty())
        top = box->fontMetrics().height() + border;
    return QRect(QPoint(0, 0), size).adjusted(border, top, -border, -border);
}

} // namespace

void TwipLayout::add(QWidget* widget, QRect twips) {
    items_.push_back({widget, twips});
}

const TwipLayout::Item* TwipLayout::itemOf(const QWidget* widget) const {
    for (const Item& item : items_)
        if (item.widget == widget)
            return &item;
    return nullptr;
}

QRect TwipLayout::rectOf(const Item& item, double scale) const {
    const QSize need = neededSize(item.widget);
    const QRect t = item.twips;
    const int left = scaled(t.left(), scale);
    const int width = std::max(scaled(t.width(), scale), need.width());
    const int top = scaled(t.top(), scale);
    const int boxHeight = scaled(t.height(), scale);

    if (const auto* label = qobject_cast<const QLabel*>(item.widget); label && label->buddy()) {
        if (const Item* buddy = itemOf(label->buddy()); buddy && buddy->twips.top() == t.top()) {
            const QRect row = rectOf(*buddy, scale);
            return QRect(left, row.top(), width, row.height());
        }
    }
    // An option button takes only the height its caption needs: the old rectangles of the shape
    // options overlap by a few twips.
    if (qobject_cast<const QRadioButton*>(item.widget))
        return QRect(left, top, width, need.height());
    return QRect(left, top, width, std::max(boxHeight, need.height()));
}

QRect TwipLayout::geometryAt(const QWidget* widget, double scale) const {
    const Item* item = itemOf(widget);
    return item ? rectOf(*item, scale) : QRect();
}

bool TwipLayout::fitsAt(double scale) const {
    std::vector<QRect> rects;
    rects.reserve(items_.size());
    for (const Item& item : items_)
        rects.push_back(rectOf(item, scale));

    for (size_t i = 0; i < items_.size(); ++i) {
        const QWidget* parent = items_[i].widget->parentWidget();
        if (const Item* frame = itemOf(parent)) {
            const QRect area = usableArea(parent, rectOf(*frame, scale).size());
            if (!area.contains(rects[i]))
                return false;
        }
        for (size_t j = i + 1; j < items_.size(); ++j) {
            if (items_[j].widget->parentWidget() != parent)
                continue;
            // Frames stacked on purpose at one place show one at a time.
            if (items_[i].twips == items_[j].twips)
                continue;
            if (rects[i].adjusted(-kGap, 0, kGap, 0).intersects(rects[j]))
                return false;
        }
    }
    return true;
}

void TwipLayout::apply() {
    scale_ = 1.0;
    while (scale_ < kLargestScale && !fitsAt(scale_))
        scale_ += kScaleStep;
    for (const Item& item : items_)
        item.widget->setGeometry(rectOf(item, scale_));
}
