#pragma once
// A screen as an X bitmap (.xbm): C text that image viewers and the X toolkits read, rows from
// the top, eight pixels a byte with the leftmost in bit 0, a set bit a lit pixel.

#include "protocol/Screen.h"

#include <QByteArray>
#include <QString>

class XbmWriter {
public:
    // `name`: a C identifier (CIdentifier); the file defines NAME_width, NAME_height, NAME_bits.
    static QByteArray write(const protocol::Screen& bytes, const QString& name);
};
