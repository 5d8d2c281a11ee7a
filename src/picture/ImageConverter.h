#pragma once
// Turns any picture into the board's one-bit screen: scaled to the screen as the
// options say, its brightness and contrast adjusted, then thresholded or dithered.
//
// Brightness is linear light (the sRGB curve decoded) throughout, so a scaled or dithered grey
// keeps its brightness: a grey of half the light of white lights half of the pixels. Transparent
// parts are seen over white, as image viewers and web pages show them. The threshold is a grey
// level 0..255 as image editors show it: a pixel is lit when its grey level is above it.

#include "picture/ConversionOptions.h"
#include "picture/PageBytes.h"
#include "picture/ScaledPicture.h"

class QImage;

class ImageConverter {
public:
    static constexpr int kWidth = ScaledPicture::kWidth;
    static constexpr int kHeight = ScaledPicture::kHeight;

    // The screen in all its pages and columns; the columns of `PageBytes` beyond it stay 0. Without
    // a threshold in the options, the picture's own by Otsu's method, found before brightness and
    // contrast, so that they move pixels across it.
    static PageBytes convert(const QImage& image, const ConversionOptions& options);

    // The grey level that best splits the picture's pixels into a dark and a light group
    // (Otsu's method); 127 for a picture of one grey.
    static int otsuThreshold(const QImage& image);

    // The two steps of convert, so that a preview can scale once and make the screen one-bit
    // again on every change of the method, the threshold or Invert.
    static ScaledPicture scale(const QImage& image, ConversionOptions::Size size);
    static PageBytes quantize(const ScaledPicture& picture, ConversionOptions::Method method,
                              int threshold, bool invert);
};
