#include "picture/GlassImage.h"

#include "display/BoardModel.h"
#include "display/Glass.h"

#include <algorithm>

namespace {

QRgb mix(QRgb a, QRgb b, double t) {
    auto channel = [t](int x, int y) { return int(x + (y - x) * t + 0.5); };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
                channel(qBlue(a), qBlue(b)));
}

QRgb scaled(QRgb c, double f) {
    return qRgb(int(qRed(c) * f), int(qGreen(c) * f), int(qBlue(c) * f));
}

} // namespace

GlassColours boardColours(const display::BoardModel& model) {
    // Contrast: lit pixels fade into the background towards 0; above 64 the unlit pixels start
    // to darken into view, as on an over-driven LCD. The default (32) gives the plain colours.
    const int contrast = model.contrast();
    const QRgb litColour = kBoardColours.lit;
    const QRgb unlitColour = kBoardColours.unlit;
    QRgb lit = mix(unlitColour, litColour, std::min(1.0, contrast / 32.0));
    QRgb unlit = contrast > 64 ? mix(unlitColour, litColour, (contrast - 64) / 63.0 * 0.45)
                               : unlitColour;
    if (!model.lcdOn())
        lit = unlit = unlitColour; // nothing driven: the bare blue panel
    if (!model.backlightOn()) {
        lit = scaled(lit, 0.25);
        unlit = scaled(unlit, 0.25);
    }
    return {lit, unlit};
}

QImage glassImage(const display::Glass& glass, GlassColours colours, int scale, bool gaps) {
    scale = std::clamp(scale, 1, 16);
    const int gap = gaps && scale >= 3 ? 1 : 0;
    const QRgb litGap = scaled(colours.lit, 0.85);
    const QRgb unlitGap = scaled(colours.unlit, 0.85);
    QImage image(display::Glass::kWidth * scale, display::Glass::kHeight * scale,
                 QImage::Format_RGB32);
    for (int y = 0; y < display::Glass::kHeight; ++y) {
        for (int dy = 0; dy < scale; ++dy) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y * scale + dy));
            const bool gapRow = dy == scale - gap;
            for (int x = 0; x < display::Glass::kWidth; ++x) {
                const bool on = glass.lit(x, y);
                const QRgb c = on ? colours.lit : colours.unlit;
                const QRgb g = on ? litGap : unlitGap;
                for (int dx = 0; dx < scale; ++dx)
                    line[x * scale + dx] = (gapRow || dx == scale - gap) ? g : c;
            }
        }
    }
    return image;
}
