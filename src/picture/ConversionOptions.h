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

    bool operator==(const ConversionOptions&) const = default;
};
