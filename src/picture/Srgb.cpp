#include "picture/Srgb.h"

#include <cmath>
#include <limits>

namespace {

double decode(double encoded) {
    return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

} // namespace

const Srgb::Tables& Srgb::tables() {
    static const Tables t = [] {
        Tables t{};
        std::array<double, 256> exact{};
        for (int v = 0; v < 256; ++v) {
            exact[std::size_t(v)] = decode(v / 255.0);
            t.linear[std::size_t(v)] = float(exact[std::size_t(v)]);
            t.linear16[std::size_t(v)] = std::uint16_t(std::lround(exact[std::size_t(v)] * 65535));
        }
        for (int v = 0; v < 255; ++v)
            t.above[std::size_t(v)] =
                float((exact[std::size_t(v)] + exact[std::size_t(v) + 1]) / 2);
        t.above[255] = std::numeric_limits<float>::infinity();
        int level = 0;
        for (int y = 0; y < 65536; ++y) {
            while (level < 255 && double(y) / 65535 > double(t.above[std::size_t(level)]))
                ++level;
            t.level16[std::size_t(y)] = std::uint8_t(level);
        }
        return t;
    }();
    return t;
}
