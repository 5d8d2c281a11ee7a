#pragma once
// A screen's page bytes as C source for a firmware: one array of 2,560 bytes in upload order
// (page 0 to 15, each column 0 to 159; bit 0 of a byte the top pixel row of its page, a set bit
// a lit pixel), with a comment naming where the screen came from and how it was made.
//
// A header holds `static const uint8_t NAME[2560]` behind an include guard, so that any number
// of files may include it, each with its own copy. A .c file defines `const uint8_t
// NAME[2560]` once, for the firmware's other files to declare extern.

#include "protocol/Screen.h"

#include <QByteArray>
#include <QString>

class CScreenWriter {
public:
    static constexpr int kBytesPerLine = 16;

    // `name`: the array's name, already a C identifier (CIdentifier). `origin` and
    // `conversion`: what the comment says the screen is ("logo.png", "fit, threshold 128").
    static QByteArray header(const protocol::Screen& bytes, const QString& name,
                             const QString& origin, const QString& conversion);
    static QByteArray source(const protocol::Screen& bytes, const QString& name,
                             const QString& origin, const QString& conversion);
    // `text` safe inside a C block comment: no "*/", no line breaks or other control codes.
    static QString commentText(const QString& text);
};
