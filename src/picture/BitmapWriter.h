#pragma once
// Writes a screen as a one-bit BMP file of the screen's size: a 14-byte file header, a 40-byte
// information header and a palette of black then white (62 bytes before the pixels), rows stored
// bottom-up, a lit pixel being palette index 1 (white). BitmapReader reads it back to the same page
// bytes.

#include "picture/PageBytes.h"
#include "protocol/CommandCode.h"

#include <QByteArray>

class BitmapWriter {
public:
    static constexpr int kWidth = protocol::kColumns;
    static constexpr int kHeight = protocol::kRows;

    // The screen's pages and columns of `pages`; the other columns are not part of it.
    static QByteArray write(const PageBytes& pages);
};
