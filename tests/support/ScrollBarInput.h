#pragma once
// Mouse input on the parts of a horizontal scroll bar (arrows, track, thumb), found through the
// style so that the events take the same path as a user's.

#include <QPoint>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

inline QStyleOptionSlider scrollBarOption(const QScrollBar* bar) {
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.activeSubControls = QStyle::SC_None;
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    opt.upsideDown = bar->invertedAppearance();
    if (bar->orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    return opt;
}

inline QRect scrollBarPart(const QScrollBar* bar, QStyle::SubControl part) {
    const QStyleOptionSlider opt = scrollBarOption(bar);
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
}

// A press and release on one part: SC_ScrollBarAddLine (right arrow), SC_ScrollBarAddPage
// (track right of the thumb), SC_ScrollBarSubLine, SC_ScrollBarSubPage.
inline void clickScrollBarPart(QScrollBar* bar, QStyle::SubControl part) {
    const QRect r = scrollBarPart(bar, part);
    QVERIFY2(r.isValid() && !r.isEmpty(), "scroll bar part has no area");
    QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
}
