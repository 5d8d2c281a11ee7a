#include "picture/LightAdjustment.h"

#include <algorithm>
#include <cmath>
#include <numbers>

LightAdjustment::LightAdjustment(int brightness, int contrast)
    : brightness_(std::clamp(brightness, kMinimum, kMaximum)),
      contrast_(std::clamp(contrast, kMinimum, kMaximum)),
      // At 100 the tangent is about 1.6e16: a cut at half-light, still a finite number.
      slope_(float(std::tan((contrast_ / 100.0 + 1) * std::numbers::pi / 4))) {}

float LightAdjustment::operator()(float light) const {
    const float share = float(brightness_) / 100.0f;
    float y = share < 0 ? light * (1 + share) : light + (1 - light) * share;
    if (contrast_ != 0)
        y = (y - 0.5f) * slope_ + 0.5f;
    return std::clamp(y, 0.0f, 1.0f);
}

ScaledPicture LightAdjustment::appliedTo(const ScaledPicture& picture) const {
    ScaledPicture adjusted = picture;
    if (changesNothing())
        return adjusted;
    for (std::size_t i = 0; i < ScaledPicture::kPixels; ++i)
        if (adjusted.covered[i])
            adjusted.light[i] = (*this)(adjusted.light[i]);
    return adjusted;
}
