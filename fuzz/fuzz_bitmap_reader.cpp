// Arbitrary bytes as a picture file: the reader must never read outside the file, never
// convert a file it refuses, and never write a page byte outside the picture it accepted.

#include "picture/BitmapReader.h"
#include "picture/UploadBuffer.h"

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Page bytes of "an earlier picture", so that untouched bytes can be told apart.
PageBytes leftovers() {
    PageBytes pages;
    for (int p = 0; p < PageBytes::kPages; ++p)
        for (int x = 0; x < PageBytes::kColumns; ++x)
            pages.set(p, x, std::uint8_t(p * 31 + x * 7 + 1));
    return pages;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size copy, so that any read past the end is caught.
    std::uint8_t* copy = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    for (std::size_t i = 0; i < size; ++i)
        copy[i] = data[i];
    const std::span<const std::uint8_t> file(copy, size);

    const PageBytes before = leftovers();
    PageBytes pages = before;
    const BitmapReadResult result = BitmapReader::read(file, pages);
    if (!result.ok()) {
        check(pages == before, "a refused file changed the page bytes");
        std::free(copy);
        return 0;
    }

    check(result.width >= 1 && result.width <= BitmapReader::kMaxWidth, "width out of range");
    check(result.height >= 1 && result.height <= BitmapReader::kMaxHeight, "height out of range");
    check(result.pageCount == (result.height + 7) / 8, "page count");
    const int width = int(result.width);
    const int lastRows = int(result.height % 8);
    for (int p = 0; p < PageBytes::kPages; ++p)
        for (int x = 0; x < PageBytes::kColumns; ++x) {
            if (p >= result.pageCount || x >= width)
                check(pages.at(p, x) == before.at(p, x), "a byte outside the picture changed");
            else if (p == result.pageCount - 1 && lastRows != 0)
                check((pages.at(p, x) >> lastRows) == 0, "rows below the picture are lit");
        }

    PageBytes again = before;
    check(BitmapReader::read(file, again).ok() && again == pages, "a second reading differs");

    UploadBuffer buffer;
    buffer.pack(pages, width, result.pageCount);
    const int packed = width * result.pageCount;
    for (int s = 0; s < UploadBuffer::kStreamSize; ++s)
        check(buffer.stream(s) == (s < packed ? 255 - pages.at(s / width, s % width) : 0),
              "packed stream");
    std::free(copy);
    return 0;
}
