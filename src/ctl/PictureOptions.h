#pragma once
// How `picture FILE` turns a picture into the display's 160 x 128 pixels: the options the
// command line takes, in the shape of the picture converter's own options.

#include <optional>

namespace ctl {

struct PictureOptions {
    enum class Size { Fit, Fill, Stretch, Original };
    enum class Method { Threshold, FloydSteinberg, Atkinson, Bayer4, Bayer8 };

    Size size = Size::Fit;
    Method method = Method::Threshold;
    std::optional<int> threshold; // 0..255; none: the converter chooses
    bool invert = false;

    bool operator==(const PictureOptions&) const = default;
};

} // namespace ctl
