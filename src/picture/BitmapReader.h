#pragma once
// Reads a Windows BMP file, given as its bytes, into the display's page layout.
//
// Only one-bit uncompressed pictures at most 256 pixels wide and no higher than the screen are
// converted; anything else is refused before a single page byte is touched. Within that, the
// reader follows the file rather than assuming one fixed layout: the pixel rows start at the
// file's own data offset (editors often write larger headers), a negative height means the first
// stored row is the top one, row padding is ignored and sizes need not be multiples of 8. The
// palette is not read: a pixel of index 1 is lit, whichever colours the palette lists.

#include "picture/BitmapReadResult.h"
#include "picture/PageBytes.h"
#include "protocol/CommandCode.h"

#include <cstdint>
#include <span>

class BitmapReader {
public:
    // As wide as the page bytes hold (wider than the screen), as high as the screen.
    static constexpr int kMaxWidth = PageBytes::kColumns;
    static constexpr int kMaxHeight = protocol::kRows;

    // On success writes pages 0 .. pageCount - 1, columns 0 .. width - 1 of `pages` (rows below
    // the picture in a last, partial page stay unset) and leaves every other byte alone. On
    // failure `pages` is not changed.
    static BitmapReadResult read(std::span<const std::uint8_t> file, PageBytes& pages);
};
