#include "picture/BitmapWriter.h"

#include <cstdint>

namespace {

constexpr int kHeaderBytes = 14 + 40 + 8;
constexpr int kRowBytes = (BitmapWriter::kWidth + 31) / 32 * 4;

void put16(QByteArray& b, int at, std::uint32_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

void put32(QByteArray& b, int at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

} // namespace

QByteArray BitmapWriter::write(const PageBytes& pages) {
    const int dataBytes = kRowBytes * kHeight;
    QByteArray b(kHeaderBytes + dataBytes, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(b.size()));
    put32(b, 10, kHeaderBytes);
    put32(b, 14, 40);
    put32(b, 18, kWidth);
    put32(b, 22, kHeight); // positive: bottom-up
    put16(b, 26, 1);       // planes
    put16(b, 28, 1);       // bits per pixel
    put32(b, 30, 0);       // no compression
    put32(b, 34, std::uint32_t(dataBytes));
    put32(b, 38, 2835); // 72 dpi
    put32(b, 42, 2835);
    put32(b, 46, 2); // colours used
    put32(b, 50, 2); // colours important
    // Palette entries are blue, green, red, 0: index 0 black, index 1 white.
    put32(b, 58, 0x00FFFFFF);

    for (int y = 0; y < kHeight; ++y) {
        char* row = b.data() + kHeaderBytes + (kHeight - 1 - y) * kRowBytes;
        for (int x = 0; x < kWidth; ++x)
            if ((pages.at(y / 8, x) >> (y % 8)) & 1)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
    }
    return b;
}
