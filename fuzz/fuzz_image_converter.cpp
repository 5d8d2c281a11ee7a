// Arbitrary bytes as a picture of any format, converted with options taken from the first byte:
// the conversion must never light a pixel outside the 160 x 128 screen, never light a pixel of
// a screen it leaves empty, and give a threshold within 0..255, whatever the picture's size,
// shape, format or transparency.
//
// Input: byte 0 the options (bits 0-1 size, bits 2-4 method, bit 7 invert), byte 1 the
// threshold (255: the picture's own), the rest the picture file.

#include "picture/ImageConverter.h"

#include <QImage>
#include <QImageReader>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    // Pictures of up to 16 MB decoded: enough for every shape, small enough to stay fast.
    QImageReader::setAllocationLimit(16);
    const QImage image =
        QImage::fromData(reinterpret_cast<const uchar*>(data + 2), qsizetype(size - 2));
    if (image.isNull())
        return 0;

    ConversionOptions options;
    options.size = ConversionOptions::Size(data[0] & 3);
    options.method = ConversionOptions::Method(((data[0] >> 2) & 7) % 5);
    options.invert = (data[0] & 0x80) != 0;
    if (data[1] != 255)
        options.threshold = data[1];

    const int otsu = ImageConverter::otsuThreshold(image);
    check(otsu >= 0 && otsu <= 255, "threshold outside 0..255");

    const PageBytes pages = ImageConverter::convert(image, options);
    for (int p = 0; p < PageBytes::kPages; ++p)
        for (int x = ImageConverter::kWidth; x < PageBytes::kColumns; ++x)
            check(pages.at(p, x) == 0, "a pixel lit beyond column 159");

    // Inverting swaps lit and unlit within the picture and nowhere else.
    options.invert = !options.invert;
    const PageBytes inverted = ImageConverter::convert(image, options);
    const ScaledPicture scaled = ImageConverter::scale(image, options.size);
    for (int y = 0; y < ImageConverter::kHeight; ++y)
        for (int x = 0; x < ImageConverter::kWidth; ++x) {
            const bool a = (pages.at(y / 8, x) >> (y % 8)) & 1;
            const bool b = (inverted.at(y / 8, x) >> (y % 8)) & 1;
            const std::size_t i = ScaledPicture::index(x, y);
            check(scaled.light[i] >= 0.0f && scaled.light[i] <= 1.0f, "light outside 0..1");
            if (!scaled.covered[i])
                check(!a && !b, "a pixel lit outside the picture");
            else
                check(a != b, "Invert did not swap a pixel");
        }
    return 0;
}
