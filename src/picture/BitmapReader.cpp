#include "picture/BitmapReader.h"

#include <cstddef>

namespace {

using Error = BitmapReadResult::Error;

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12; // OS/2 1.x: 16-bit sizes, 3-byte palette entries

// Information headers that share the layout of the 40-byte one in their first 40 bytes.
bool isInfoHeaderSize(std::uint32_t size) {
    switch (size) {
    case 40:  // BITMAPINFOHEADER
    case 52:  // with RGB masks
    case 56:  // with RGBA masks
    case 64:  // OS/2 2.x
    case 108: // BITMAPV4HEADER (ImageMagick's default)
    case 124: // BITMAPV5HEADER
        return true;
    default:
        return false;
    }
}

std::uint32_t u16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8;
}

std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at) {
    return u16(b, at) | u16(b, at + 2) << 16;
}

std::int32_t i32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::int32_t(u32(b, at));
}

} // namespace

BitmapReadResult BitmapReader::read(std::span<const std::uint8_t> file, PageBytes& pages) {
    BitmapReadResult result;
    const auto size = std::int64_t(file.size());
    if (size < 2 || file[0] != 'B' || file[1] != 'M') {
        result.error = Error::NotBmp;
        return result;
    }
    if (size < kFileHeaderSize + 4) {
        result.error = Error::Truncated;
        return result;
    }
    const std::uint32_t headerSize = u32(file, 14);
    result.headerSize = headerSize;
    const bool core = headerSize == kCoreHeaderSize;
    if (!core && !isInfoHeaderSize(headerSize)) {
        result.error = Error::UnknownHeader;
        return result;
    }
    if (size < kFileHeaderSize + headerSize) {
        result.error = Error::Truncated;
        return result;
    }

    const std::int64_t dataOffset = u32(file, 10);
    std::int64_t width = 0;
    std::int64_t storedHeight = 0;
    std::uint32_t planes = 0;
    if (core) {
        width = u16(file, 18);
        storedHeight = u16(file, 20);
        planes = u16(file, 22);
        result.bitsPerPixel = int(u16(file, 24));
    } else {
        width = i32(file, 18);
        storedHeight = i32(file, 22);
        planes = u16(file, 26);
        result.bitsPerPixel = int(u16(file, 28));
        result.compression = u32(file, 30);
    }
    const bool topDown = storedHeight < 0;
    const std::int64_t height = topDown ? -storedHeight : storedHeight;
    result.width = width;
    result.height = height;

    if (result.bitsPerPixel != 1) {
        result.error = Error::NotOneBit;
        return result;
    }
    if (result.compression != 0) {
        result.error = Error::Compressed;
        return result;
    }
    if (planes != 1 || width <= 0 || height == 0) {
        result.error = Error::Malformed;
        return result;
    }
    if (width > kMaxWidth || height > kMaxHeight) {
        result.error = Error::TooLarge;
        return result;
    }
    const std::int64_t paletteStart = kFileHeaderSize + headerSize;
    if (dataOffset < paletteStart) {
        result.error = Error::Malformed;
        return result;
    }
    // Each stored row is padded to a multiple of four bytes.
    const std::int64_t rowLength = (width + 31) / 32 * 4;
    if (dataOffset + rowLength * height > size) {
        result.error = Error::Truncated;
        return result;
    }

    result.pageCount = int((height + 7) / 8);
    const int w = int(width);
    const int h = int(height);
    for (int p = 0; p < result.pageCount; ++p)
        for (int x = 0; x < w; ++x)
            pages.set(p, x, 0);
    for (int y = 0; y < h; ++y) {
        const std::int64_t storedRow = topDown ? y : h - 1 - y;
        const std::uint8_t* row = file.data() + dataOffset + storedRow * rowLength;
        const int page = y / 8;
        const auto rowBit = std::uint8_t(1u << (y % 8));
        for (int x = 0; x < w; ++x) {
            // Palette index 1 is lit whatever colour the palette gives it: pictures made for
            // the board rely on that, and editors may store the two colours in either order.
            if ((row[x / 8] >> (7 - x % 8)) & 1u)
                pages.set(page, x, std::uint8_t(pages.at(page, x) | rowBit));
        }
    }
    return result;
}
