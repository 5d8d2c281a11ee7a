#pragma once
// Places controls at positions given in twips (1/1440 inch, so 15 twips are one pixel at 96 dpi)
// inside their frames, the way the board's drawing panel has always been laid out.
//
// Those positions were made for a small 8-point font. Each caption, box and button gets at least
// the size its text needs in the font in use; where that would make two neighbours overlap or a
// control stick out of its frame, the whole arrangement is scaled up evenly (in steps of 5 %)
// until everything fits, so the panel keeps its proportions and no caption is clipped. With a
// font small enough the positions are exactly the twip ones.
//
// A row label with a buddy box is given the box's row, so that its text stands level with the
// box's.

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

class TwipLayout {
public:
    static constexpr int kTwipsPerPixel = 15;

    // A zero width or height in twips means the control's own size.
    void add(QWidget* widget, QRect twips);
    // Sizes and places every control; call again after a font or style change.
    void apply();
    // The scale of the last apply(): 1 when the twip positions were used as they are.
    double scale() const { return scale_; }
    // The geometry apply() gives a control at a scale (for checks of the arrangement).
    QRect geometryAt(const QWidget* widget, double scale) const;

private:
    struct Item {
        QWidget* widget;
        QRect twips;
    };

    QRect rectOf(const Item& item, double scale) const;
    bool fitsAt(double scale) const;
    const Item* itemOf(const QWidget* widget) const;

    std::vector<Item> items_;
    double scale_ = 1.0;
};
