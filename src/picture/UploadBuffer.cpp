#include "picture/UploadBuffer.h"

#include <cassert>

std::uint8_t UploadBuffer::at(int block, int position) const {
    assert(block >= 0 && block < kBlocks && position >= 0 && position < kPositions);
    return stream_[std::size_t(block) * kPositions + std::size_t(position)];
}

std::uint8_t UploadBuffer::stream(int index) const {
    assert(index >= 0 && index < kStreamSize);
    return stream_[std::size_t(index)];
}

void UploadBuffer::pack(const PageBytes& pages, int width, int pageCount) {
    assert(width >= 0 && width <= PageBytes::kColumns);
    assert(pageCount >= 0 && pageCount <= PageBytes::kPages);
    std::size_t s = 0;
    for (int p = 0; p < pageCount; ++p)
        for (int x = 0; x < width; ++x)
            stream_[s++] = std::uint8_t(255 - pages.at(p, x));
}

protocol::Screen UploadBuffer::screen() const {
    protocol::Screen bytes{};
    for (std::size_t s = 0; s < bytes.size(); ++s)
        bytes[s] = std::uint8_t(255 - stream_[s]);
    return bytes;
}
