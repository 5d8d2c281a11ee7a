#pragma once
// How an ordinary picture becomes the board's one-bit screen.

#include <optional>

struct ConversionOptions {
    // Fit: the whole picture, letterboxed. Fill: the screen covered, the picture cropped.
    // Stretch: the picture's sides to the screen's. Original: one picture pixel per board pixel,
    // centred, cropped.
    enum class Size { Fit, Fill, Stretch, Original };
    enum class Method { Threshold, FloydSteinberg, Atkinson, Bayer4, Bayer8 };

    Size size = Size::Fit;
    Method method = Method::Threshold;
    std::optional<int> threshold; /* none: Otsu */
    bool invert = false;
    // -100..100 each, applied to the scaled picture's linear light before the threshold or the
    // dithering (see LightAdjustment); 0 and 0 leave the result as it was without them.
    int brightness = 0;
    int contrast = 0;

    bool operator==(const ConversionOptions&) const = default;
};
