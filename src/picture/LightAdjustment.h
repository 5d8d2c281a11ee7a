#pragma once
// Brightness and contrast of a picture scaled to the screen, before it is made one-bit. Both
// work on linear light, as the scaling and the dithering do, and keep it within black..white.
//
// Brightness -100..100 moves every light towards black (below 0) or white (above 0) by that
// share of the way: -100 is all black, 100 all white. Contrast -100..100 spreads the light away
// from half-light (the light that dithering shows with half of the pixels lit) or draws it
// together: the slope is tan((contrast / 100 + 1) * 45 degrees), so -100 makes every pixel
// half-light and 100 splits the picture at half-light. Brightness comes first.
// At 0 and 0 nothing is touched: the screen is exactly what the conversion gave without them.

#include "picture/ScaledPicture.h"

class LightAdjustment {
public:
    static constexpr int kMinimum = -100;
    static constexpr int kMaximum = 100;

    // Values outside -100..100 are taken as the nearest end.
    LightAdjustment(int brightness, int contrast);

    bool changesNothing() const { return brightness_ == 0 && contrast_ == 0; }
    // The adjusted light of light 0..1.
    float operator()(float light) const;
    // The covered pixels of `picture` adjusted; the picture itself when nothing changes.
    ScaledPicture appliedTo(const ScaledPicture& picture) const;

private:
    int brightness_;
    int contrast_;
    float slope_;
};
