#pragma once
// A picture scaled to the board's 160 x 128 pixels, as linear light, before it is made one-bit.
// Pixels the picture does not reach (the bands of a letterboxed picture, the surroundings of a
// small one at its original size) are not covered: they stay unlit whatever the conversion.

#include <array>
#include <cstddef>

struct ScaledPicture {
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 128;
    static constexpr std::size_t kPixels = std::size_t(kWidth) * kHeight;

    static std::size_t index(int x, int y) { return std::size_t(y) * kWidth + std::size_t(x); }

    std::array<float, kPixels> light{}; // 0 black .. 1 white, row by row from the top left
    std::array<bool, kPixels> covered{};
};
