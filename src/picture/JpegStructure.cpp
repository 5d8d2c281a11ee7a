#include "picture/JpegStructure.h"

#include <algorithm>
#include <cstring>

namespace {

bool isFrameHeader(unsigned char code) {
    // SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC), which share the range.
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

bool isProgressive(unsigned char code) {
    return code == 0xC2 || code == 0xC6 || code == 0xCA || code == 0xCE;
}

} // namespace

JpegStructure JpegStructure::read(const QByteArray& bytes) {
    JpegStructure result;
    const auto* d = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return result;
    qsizetype pos = 2;
    auto nextFF = [&](qsizetype from) -> qsizetype {
        const void* ff = std::memchr(d + from, 0xFF, std::size_t(n - from));
        return ff ? static_cast<const unsigned char*>(ff) - d : n;
    };
    // Walks the marker segments and skips the entropy-coded data of each scan; bytes after the
    // end marker (some cameras append a second picture or a video there) do not matter.
    while (true) {
        if (pos >= n)
            return result;
        if (d[pos] != 0xFF)
            pos = nextFF(pos); // stray bytes between segments: the decoder skips them too
        while (pos < n && d[pos] == 0xFF)
            ++pos;
        if (pos >= n)
            return result;
        const unsigned char code = d[pos++];
        if (code == 0xD9) {
            result.complete = true;
            return result;
        }
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7))
            continue; // markers without a segment
        if (pos + 2 > n)
            return result;
        const qsizetype length = qsizetype(d[pos]) << 8 | d[pos + 1];
        if (length < 2 || pos + length > n)
            return result;
        const unsigned char* segment = d + pos + 2;
        if (isFrameHeader(code) && result.width == 0 && length >= 8) {
            // precision, height, width, component count, then 3 bytes per component
            result.progressive = isProgressive(code);
            result.height = segment[1] << 8 | segment[2];
            result.width = segment[3] << 8 | segment[4];
            const int count = std::min<int>(segment[5], int(length - 8) / 3);
            for (int c = 0; c < count; ++c) {
                const int factors = segment[6 + 3 * c + 1];
                result.components.push_back(
                    {std::clamp(factors >> 4, 1, 4), std::clamp(factors & 15, 1, 4)});
            }
        }
        if (code == 0xDA && result.firstScanComponents == 0 && length >= 3)
            result.firstScanComponents = segment[0];
        pos += length;
        if (code != 0xDA)
            continue;
        // A scan: its data ends at the first marker that is neither a stuffed 0xFF 0x00 nor a
        // restart marker.
        while (true) {
            pos = nextFF(pos);
            if (pos + 1 >= n)
                return result;
            const unsigned char next = d[pos + 1];
            if (next == 0xFF)
                pos += 1;
            else if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
                pos += 2;
            else
                break;
        }
    }
}

bool JpegStructure::buffersWholePicture() const {
    return progressive || firstScanComponents < int(components.size());
}

qint64 JpegStructure::coefficientBytes() const {
    if (!buffersWholePicture() || components.empty())
        return 0;
    int widest = 1;
    int tallest = 1;
    for (const Component& c : components) {
        widest = std::max(widest, c.horizontal);
        tallest = std::max(tallest, c.vertical);
    }
    const qint64 mcusAcross = (qint64(width) + 8 * widest - 1) / (8 * widest);
    const qint64 mcusDown = (qint64(height) + 8 * tallest - 1) / (8 * tallest);
    qint64 blocks = 0;
    for (const Component& c : components)
        blocks += mcusAcross * c.horizontal * mcusDown * c.vertical;
    return blocks * 64 * 2;
}
