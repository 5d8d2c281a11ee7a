#pragma once
// Writes BMP files for the picture tests, the upload benchmark and the fuzz corpus: one-bit
// pictures in the layouts editors really write, and the files the reader must refuse.

#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <utility>

namespace testbmp {

struct Spec {
    int width = 160;
    int height = 128;
    // Palette index of pixel (x, y); y = 0 is the top row of the picture.
    std::function<int(int x, int y)> index = [](int, int) { return 0; };
    int headerSize = 40; // 12 (OS/2 core), 40, 108 (ImageMagick's default), 124
    int bitsPerPixel = 1;
    std::uint32_t compression = 0;
    bool topDown = false;    // negative height, first stored row on top
    bool whiteFirst = false; // palette white, black instead of black, white
    int planes = 1;
    std::uint32_t colorsUsed = 0;
};

inline void put16(QByteArray& b, int at, std::uint32_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

inline void put32(QByteArray& b, int at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

inline int dataOffsetOf(const Spec& s) {
    const int entries = s.bitsPerPixel <= 8 ? 1 << s.bitsPerPixel : 0;
    return 14 + s.headerSize + entries * (s.headerSize == 12 ? 3 : 4);
}

inline int rowLengthOf(const Spec& s) {
    return (s.width * s.bitsPerPixel + 31) / 32 * 4;
}

// The whole file. Padding bits and bytes of one-bit rows are set, so a reader that uses them
// shows it.
inline QByteArray write(const Spec& s) {
    const int dataOffset = dataOffsetOf(s);
    const int rowLength = rowLengthOf(s);
    const int rows = std::abs(s.height);
    QByteArray b(dataOffset + rowLength * rows, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(b.size()));
    put32(b, 10, std::uint32_t(dataOffset));
    put32(b, 14, std::uint32_t(s.headerSize));
    if (s.headerSize == 12) {
        put16(b, 18, std::uint32_t(s.width));
        put16(b, 20, std::uint32_t(s.height));
        put16(b, 22, std::uint32_t(s.planes));
        put16(b, 24, std::uint32_t(s.bitsPerPixel));
    } else {
        put32(b, 18, std::uint32_t(s.width));
        put32(b, 22, std::uint32_t(s.topDown ? -s.height : s.height));
        put16(b, 26, std::uint32_t(s.planes));
        put16(b, 28, std::uint32_t(s.bitsPerPixel));
        put32(b, 30, s.compression);
        put32(b, 34, std::uint32_t(rowLength * rows));
        put32(b, 38, 2835); // 72 dpi
        put32(b, 42, 2835);
        put32(b, 46, s.colorsUsed);
        if (s.headerSize >= 108)
            put32(b, 70, 0x73524742); // colour space "sRGB"
    }
    const int entries = s.bitsPerPixel <= 8 ? 1 << s.bitsPerPixel : 0;
    const int entrySize = s.headerSize == 12 ? 3 : 4;
    for (int i = 0; i < entries; ++i) {
        int grey = entries == 1 ? 0 : i * 255 / (entries - 1);
        if (s.bitsPerPixel == 1 && s.whiteFirst)
            grey = 255 - grey;
        const int at = 14 + s.headerSize + i * entrySize;
        b[at] = b[at + 1] = b[at + 2] = char(grey);
    }
    if (s.bitsPerPixel != 1)
        return b;
    for (int y = 0; y < rows; ++y) {
        const int stored = s.topDown ? y : rows - 1 - y;
        char* row = b.data() + dataOffset + stored * rowLength;
        std::fill(row, row + rowLength, char(0xFF));
        for (int x = 0; x < s.width; ++x)
            if (s.index(x, y) == 0)
                row[x / 8] = char(row[x / 8] & ~(0x80 >> (x % 8)));
    }
    return b;
}

// A picture of width x height whose pixel (x, y) has palette index index(x, y); the rest as
// Spec has it.
inline Spec bitmap(int width, int height, std::function<int(int x, int y)> index) {
    Spec s;
    s.width = width;
    s.height = height;
    s.index = std::move(index);
    return s;
}

// Whether the board should light pixel (x, y): palette index 1, whatever its colour.
inline bool lit(const Spec& s, int x, int y) {
    return s.index(x, y) == 1;
}

// The page byte the board needs at (page, column), from the picture's pixels: bit n is row
// page * 8 + n; rows below the picture stay dark.
inline std::uint8_t pageByte(const Spec& s, int page, int x) {
    int byte = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int y = page * 8 + bit;
        if (y < std::abs(s.height) && lit(s, x, y))
            byte |= 1 << bit;
    }
    return std::uint8_t(byte);
}

// A busy, irregular picture, so that a pixel read from the wrong row or column shows.
inline int pattern(int x, int y) {
    return ((x * 7 + y * 13) ^ (x * y)) % 5 < 2 ? 1 : 0;
}
inline int otherPattern(int x, int y) {
    return (x / 3 + y / 5) % 3 == 0 ? 1 : 0;
}

} // namespace testbmp
