#pragma once
// Writes a screen as a 160 x 128 one-bit BMP file: a 14-byte file header, a 40-byte information
// header and a palette of black then white (62 bytes before the pixels), rows stored bottom-up,
// a lit pixel being palette index 1 (white). BitmapReader reads it back to the same page bytes.

#include "picture/PageBytes.h"

#include <QByteArray>

class BitmapWriter {
public:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 128;

    // Pages 0..15, columns 0..159 of `pages`; the other columns are not part of the screen.
    static QByteArray write(const PageBytes& pages);
};
