#pragma once
// The sRGB transfer curve. Pictures store their channels sRGB-encoded; brightness adds up only
// in linear light, so scaling and dithering work there, while grey levels (the threshold) are
// the encoded values a user knows from image editors.

#include <array>
#include <cstdint>

class Srgb {
public:
    // Linear light 0..1 of an 8-bit channel value.
    static float toLinear(int value) { return tables().linear[std::size_t(value)]; }
    // Linear light of an 8-bit channel value in 1/65535 steps (grey 255 is 65535).
    static std::uint16_t toLinear16(int value) { return tables().linear16[std::size_t(value)]; }
    // The light halfway between grey levels `level` and `level + 1`: a pixel is above grey level
    // `level` when its light exceeds this. Infinite for 255, which nothing is above.
    static float aboveLevel(int level) { return tables().above[std::size_t(level)]; }
    // The grey level 0..255 of linear light given in 1/65535 steps, consistent with aboveLevel:
    // level(y) > t exactly when y / 65535 > aboveLevel(t) (up to the 1/65535 steps).
    static int level16(std::uint16_t light) { return tables().level16[light]; }

private:
    struct Tables {
        std::array<float, 256> linear;
        std::array<std::uint16_t, 256> linear16;
        std::array<float, 256> above;
        std::array<std::uint8_t, 65536> level16;
    };
    static const Tables& tables();
};
