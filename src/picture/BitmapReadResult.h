#pragma once
// The outcome of reading a bitmap file: either a usable picture with its size, or why the file
// was refused, with the figures the user needs to hear about.

#include <cstdint>

struct BitmapReadResult {
    enum class Error {
        None,
        NotBmp,        // no "BM" signature, or too short to hold one
        UnknownHeader, // an information header of a size no BMP variant uses
        Malformed,  // zero or negative width, zero height, planes other than 1, data in the headers
        NotOneBit,  // bitsPerPixel other than 1
        Compressed, // compression other than none
        TooLarge,   // wider than 256 pixels or higher than the screen
        Truncated,  // the file ends before its headers or its pixel rows do
    };

    Error error = Error::None;
    std::int64_t width = 0;  // pixel columns, as the file states them (when read)
    std::int64_t height = 0; // pixel rows, positive also for a top-down file (when read)
    int bitsPerPixel = 0;    // when read
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 0;
    int pageCount = 0; // pages the picture covers (its last one may be partial)

    bool ok() const { return error == Error::None; }
};
