#pragma once
// How a picture was made the board's screen, in words, for the comment of a C source file:
// "fit to the screen, threshold 128, inverted".

#include "picture/ConversionOptions.h"

#include <QString>

class ConversionText {
public:
    static QString of(const ConversionOptions& options);
    // For a one-bit BMP taken as it is, without conversion.
    static QString oneBitAsItIs();
};
