#pragma once
// Small picture files that claim huge pictures, for the loader's tests and the memory benchmark
// (fuzz/make_corpus.py writes the same JPEG for the fuzz corpus).

#include <QByteArray>

namespace bombs {

inline QByteArray be16(int v) {
    return QByteArray(1, char(v >> 8)) + char(v);
}

inline QByteArray be32(quint32 v) {
    return be16(int(v >> 16)) + be16(int(v & 0xFFFF));
}

enum class JpegCoding {
    Progressive,   // one grey component, a single DC scan
    SeparateScans, // sequential, three components, the first scan carrying only the first
};

// About 130 bytes: tables, a frame claiming width x height and a scan holding the first block
// only, so that any larger picture ends before its data does.
inline QByteArray jpegClaiming(int width, int height, JpegCoding coding) {
    const bool progressive = coding == JpegCoding::Progressive;
    const int components = progressive ? 1 : 3;
    QByteArray b("\xFF\xD8", 2);
    b += QByteArray("\xFF\xDB\x00\x43\x00", 5) + QByteArray(64, 1); // quantisation: all 1
    b += QByteArray(progressive ? "\xFF\xC2" : "\xFF\xC0", 2) + be16(8 + 3 * components) + char(8) +
         be16(height) + be16(width) + char(components);
    for (int c = 1; c <= components; ++c)
        b += QByteArray(1, char(c)) + char(0x11) + char(0); // 1 x 1 sampling, table 0
    // DC and AC tables 0, each with one code of one bit: DC difference 0, end of block.
    for (const char tableClass : {'\x00', '\x10'})
        b += QByteArray("\xFF\xC4\x00\x14", 4) + tableClass + char(1) + QByteArray(15, 0) + char(0);
    b += QByteArray("\xFF\xDA\x00\x08\x01\x01\x00\x00", 8) + char(progressive ? 0 : 63) + char(0);
    b += progressive ? "\x7F" : "\x3F"; // the first block's bits, padded with ones
    return b + QByteArray("\xFF\xD9", 2);
}

inline QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : type + data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return be32(quint32(data.size())) + type + data + be32(~crc);
}

// A valid PNG header claiming an RGB picture of width x height, with a few bytes of data.
inline QByteArray pngClaiming(quint32 width, quint32 height) {
    return QByteArray("\x89PNG\r\n\x1a\n", 8) +
           pngChunk("IHDR", be32(width) + be32(height) + QByteArray("\x08\x02\0\0\0", 5)) +
           pngChunk("IDAT", QByteArray::fromHex("789C6360000000020001")) + pngChunk("IEND", {});
}

} // namespace bombs
