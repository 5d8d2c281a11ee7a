#pragma once
// A picture scaled to the board's screen, as linear light, before it is made one-bit.
// Pixels the picture does not reach (the bands of a letterboxed picture, the surroundings of a
// small one at its original size) are not covered: they stay unlit whatever the conversion.

#include "protocol/CommandCode.h"

#include <array>
#include <cstddef>

struct ScaledPicture {
    static constexpr int kWidth = protocol::kColumns;
    static constexpr int kHeight = protocol::kRows;
    static constexpr std::size_t kPixels = std::size_t(kWidth) * kHeight;

    static std::size_t index(int x, int y) { return std::size_t(y) * kWidth + std::size_t(x); }

    std::array<float, kPixels> light{}; // 0 black .. 1 white, row by row from the top left
    std::array<bool, kPixels> covered{};
};
