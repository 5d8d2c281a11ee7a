#pragma once
// What "Send" transmits: 20 blocks of 256 positions, read as one stream (stream index
// s = 256 * block + position). Each element holds a page byte complemented (255 minus it).
// All zeros at start and never cleared: a smaller picture overwrites only the front of the
// stream, and the upload sends the rest as the earlier pictures left it.

#include "picture/PageBytes.h"
#include "protocol/Screen.h"

#include <array>
#include <cstddef>
#include <cstdint>

class UploadBuffer {
public:
    static constexpr int kBlocks = 20;
    static constexpr int kPositions = 256;
    static constexpr int kStreamSize = kBlocks * kPositions;

    std::uint8_t at(int block, int position) const;
    std::uint8_t stream(int index) const;

    // Stores the page bytes of a picture `width` columns wide and `pageCount` pages high,
    // complemented, at stream indexes 0 .. pageCount * width - 1: page by page from the top
    // page, each from column 0 to width - 1 (page p, column x at p * width + x). The stream
    // beyond keeps its values.
    void pack(const PageBytes& pages, int width, int pageCount);

    // What "Send" puts on the line: the screen's share of the front of the stream, complemented
    // back to page bytes.
    protocol::Screen screen() const;

    bool operator==(const UploadBuffer&) const = default;

private:
    std::array<std::uint8_t, kStreamSize> stream_{};
};
