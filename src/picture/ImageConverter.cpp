#include "picture/ImageConverter.h"

#include "picture/LightAdjustment.h"
#include "picture/Srgb.h"

#include <QColorSpace>
#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using Size = ConversionOptions::Size;
using Method = ConversionOptions::Method;

// Rec. 709 / sRGB luminance weights, in 1/65536 (they add up to 65536, so a grey stays exact).
constexpr std::uint32_t kRed16 = 13933;
constexpr std::uint32_t kGreen16 = 46871;
constexpr std::uint32_t kBlue16 = 65536 - kRed16 - kGreen16;
constexpr float kRed = 0.2126f;
constexpr float kGreen = 0.7152f;
constexpr float kBlue = 0.0722f;

// Pictures that carry another colour space (an ICC profile, a gamma) are converted to sRGB, so
// that their greys mean the same light.
bool inSrgb(const QImage& image) {
    const QColorSpace space = image.colorSpace();
    return !space.isValid() || space == QColorSpace(QColorSpace::SRgb);
}

// Rows of a picture in sRGB as non-premultiplied 32-bit ARGB, columns `first` .. `first + count
// - 1`. The common formats in sRGB are read in place; others are converted a strip of rows at a
// time, so that a large picture is never copied whole.
class RowReader {
public:
    RowReader(const QImage& image, int first, int count)
        : image_(image), first_(first), count_(count), toSrgb_(!inSrgb(image)),
          direct_(!toSrgb_ && (image.format() == QImage::Format_RGB32 ||
                               image.format() == QImage::Format_ARGB32)) {}

    const QRgb* row(int y) {
        if (direct_)
            return reinterpret_cast<const QRgb*>(image_.constScanLine(y)) + first_;
        if (y < stripStart_ || y >= stripStart_ + strip_.height()) {
            stripStart_ = y;
            const int rows = std::min(kStripRows, image_.height() - y);
            strip_ = image_.copy(first_, y, count_, rows);
            if (toSrgb_)
                strip_.convertToColorSpace(QColorSpace::SRgb); // in place: nothing shares the strip
            strip_.convertTo(QImage::Format_ARGB32);
        }
        return reinterpret_cast<const QRgb*>(strip_.constScanLine(y - stripStart_));
    }

private:
    static constexpr int kStripRows = 64;
    const QImage& image_;
    int first_;
    int count_;
    bool toSrgb_;
    bool direct_;
    QImage strip_;
    int stripStart_ = -1;
};

float lightOf(QRgb c) {
    float y = kRed * Srgb::toLinear(qRed(c)) + kGreen * Srgb::toLinear(qGreen(c)) +
              kBlue * Srgb::toLinear(qBlue(c));
    const int a = qAlpha(c);
    if (a != 255) {
        const float opacity = float(a) / 255.0f;
        y = y * opacity + (1.0f - opacity); // over white
    }
    return y;
}

std::uint16_t light16Of(QRgb c) {
    std::uint32_t y = (kRed16 * Srgb::toLinear16(qRed(c)) + kGreen16 * Srgb::toLinear16(qGreen(c)) +
                       kBlue16 * Srgb::toLinear16(qBlue(c)) + 32768) >>
                      16;
    const std::uint32_t a = std::uint32_t(qAlpha(c));
    if (a != 255)
        y = (y * a + 65535u * (255u - a) + 127u) / 255u;
    return std::uint16_t(std::min<std::uint32_t>(y, 65535u));
}

// Which part of the picture goes where on the screen: source rectangle (in picture pixels,
// fractional when cropped to fill) and target rectangle (in board pixels).
struct Placement {
    double sourceX = 0, sourceY = 0, sourceWidth = 0, sourceHeight = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

Placement place(int w, int h, Size size) {
    constexpr int W = ImageConverter::kWidth;
    constexpr int H = ImageConverter::kHeight;
    Placement p{0, 0, double(w), double(h), 0, 0, W, H};
    switch (size) {
    case Size::Stretch:
        break;
    case Size::Fit: {
        const double s = std::min(double(W) / w, double(H) / h);
        p.width = std::clamp(int(std::lround(w * s)), 1, W);
        p.height = std::clamp(int(std::lround(h * s)), 1, H);
        p.x = (W - p.width) / 2;
        p.y = (H - p.height) / 2;
        break;
    }
    case Size::Fill: {
        const double s = std::max(double(W) / w, double(H) / h);
        p.sourceWidth = std::min(double(w), W / s);
        p.sourceHeight = std::min(double(h), H / s);
        p.sourceX = (w - p.sourceWidth) / 2;
        p.sourceY = (h - p.sourceHeight) / 2;
        break;
    }
    case Size::Original:
        p.width = std::min(w, W);
        p.height = std::min(h, H);
        p.x = (W - p.width) / 2;
        p.y = (H - p.height) / 2;
        p.sourceX = (w - p.width) / 2;
        p.sourceY = (h - p.height) / 2;
        p.sourceWidth = p.width;
        p.sourceHeight = p.height;
        break;
    }
    return p;
}

// For each of `count` target pixels along one axis, the source pixels it covers and by how much
// (area averaging): target i covers [start + i * k, start + (i + 1) * k) with k = length / count.
struct Taps {
    std::vector<int> begin; // index into source/weight of target i's first tap; one extra at end
    std::vector<int> source;
    std::vector<float> weight;
    int first = 0; // lowest source pixel used
    int last = 0;  // highest source pixel used
};

Taps taps(double start, double length, int count, int sourceSize) {
    Taps t;
    const double k = length / count;
    t.first = sourceSize;
    t.last = 0;
    for (int i = 0; i < count; ++i) {
        t.begin.push_back(int(t.source.size()));
        const double a = start + i * k;
        const double b = start + (i + 1) * k;
        const int from = std::clamp(int(std::floor(a)), 0, sourceSize - 1);
        const int to = std::clamp(int(std::ceil(b)) - 1, from, sourceSize - 1);
        for (int j = from; j <= to; ++j) {
            const double overlap = std::min(b, j + 1.0) - std::max(a, double(j));
            if (overlap <= 1e-9 && to > from)
                continue;
            t.source.push_back(j);
            t.weight.push_back(float(std::max(overlap, 1e-9) / k));
            t.first = std::min(t.first, j);
            t.last = std::max(t.last, j);
        }
    }
    t.begin.push_back(int(t.source.size()));
    // Weights of each target pixel add up to exactly 1, so a flat grey stays that grey.
    for (int i = 0; i < count; ++i) {
        double sum = 0;
        for (int n = t.begin[i]; n < t.begin[i + 1]; ++n)
            sum += t.weight[std::size_t(n)];
        for (int n = t.begin[i]; n < t.begin[i + 1]; ++n)
            t.weight[std::size_t(n)] = float(t.weight[std::size_t(n)] / sum);
    }
    return t;
}

constexpr int kBayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

// The 8 x 8 matrix is built from the 4 x 4 one as 4 x M4 plus a 2 x 2 offset per quadrant,
// so its top-left quadrant divided by 4 is the 4 x 4 matrix.
int bayer4(int x, int y) {
    return kBayer8[y % 4][x % 4] / 4;
}

struct Diffusion {
    int dx, dy;
    float share;
};
constexpr std::array<Diffusion, 4> kFloydSteinberg = {
    {{1, 0, 7 / 16.0f}, {-1, 1, 3 / 16.0f}, {0, 1, 5 / 16.0f}, {1, 1, 1 / 16.0f}}};
// Atkinson passes on only 6/8 of the error: highlights and shadows clip, contrast stays crisp.
constexpr std::array<Diffusion, 6> kAtkinson = {{{1, 0, 1 / 8.0f},
                                                 {2, 0, 1 / 8.0f},
                                                 {-1, 1, 1 / 8.0f},
                                                 {0, 1, 1 / 8.0f},
                                                 {1, 1, 1 / 8.0f},
                                                 {0, 2, 1 / 8.0f}}};

// Error diffusion in linear light, in serpentine order (every other row right to left, the
// kernel mirrored) so that no diagonal drift builds up. Uncovered pixels take no error.
template <std::size_t N>
std::array<bool, ScaledPicture::kPixels> diffuse(const ScaledPicture& p,
                                                 const std::array<Diffusion, N>& kernel) {
    constexpr int W = ScaledPicture::kWidth;
    constexpr int H = ScaledPicture::kHeight;
    std::array<float, ScaledPicture::kPixels> value = p.light;
    std::array<bool, ScaledPicture::kPixels> lit{};
    for (int y = 0; y < H; ++y) {
        const bool reverse = y % 2 == 1;
        for (int n = 0; n < W; ++n) {
            const int x = reverse ? W - 1 - n : n;
            const std::size_t i = ScaledPicture::index(x, y);
            if (!p.covered[i])
                continue;
            const bool on = value[i] > 0.5f;
            lit[i] = on;
            const float error = value[i] - (on ? 1.0f : 0.0f);
            for (const Diffusion& d : kernel) {
                const int tx = x + (reverse ? -d.dx : d.dx);
                const int ty = y + d.dy;
                if (tx < 0 || tx >= W || ty >= H)
                    continue;
                const std::size_t t = ScaledPicture::index(tx, ty);
                if (p.covered[t])
                    value[t] += error * d.share;
            }
        }
    }
    return lit;
}

} // namespace

PageBytes ImageConverter::convert(const QImage& image, const ConversionOptions& options) {
    const int threshold =
        options.threshold ? std::clamp(*options.threshold, 0, 255) : otsuThreshold(image);
    const LightAdjustment adjustment(options.brightness, options.contrast);
    return quantize(adjustment.appliedTo(scale(image, options.size)), options.method, threshold,
                    options.invert);
}

int ImageConverter::otsuThreshold(const QImage& image) {
    if (image.isNull())
        return 127;
    std::array<std::uint64_t, 256> histogram{};
    RowReader rows(image, 0, image.width());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = rows.row(y);
        for (int x = 0; x < image.width(); ++x)
            ++histogram[std::size_t(Srgb::level16(light16Of(row[x])))];
    }

    double total = 0;
    double sum = 0;
    for (int v = 0; v < 256; ++v) {
        total += double(histogram[std::size_t(v)]);
        sum += double(v) * double(histogram[std::size_t(v)]);
    }
    // The between-group variance is often flat over a range of thresholds (a picture of two
    // greys); the middle of the best range splits them evenly.
    double best = 0;
    int bestFirst = -1;
    int bestLast = -1;
    double dark = 0;
    double darkSum = 0;
    for (int t = 0; t < 255; ++t) {
        dark += double(histogram[std::size_t(t)]);
        darkSum += double(t) * double(histogram[std::size_t(t)]);
        const double light = total - dark;
        if (dark == 0 || light == 0)
            continue;
        const double difference = darkSum / dark - (sum - darkSum) / light;
        const double variance = dark * light * difference * difference;
        if (variance > best * (1 + 1e-12)) {
            best = variance;
            bestFirst = bestLast = t;
        } else if (variance >= best * (1 - 1e-12)) {
            bestLast = t;
        }
    }
    return bestFirst < 0 ? 127 : (bestFirst + bestLast) / 2;
}

ScaledPicture ImageConverter::scale(const QImage& image, ConversionOptions::Size size) {
    ScaledPicture result;
    if (image.isNull())
        return result;
    const Placement p = place(image.width(), image.height(), size);
    const Taps across = taps(p.sourceX, p.sourceWidth, p.width, image.width());
    const Taps down = taps(p.sourceY, p.sourceHeight, p.height, image.height());

    // Which target rows each source row adds to, so every source row is read once.
    const int firstRow = down.first;
    std::vector<std::vector<std::pair<int, float>>> targetsOf(
        std::size_t(down.last - firstRow + 1));
    for (int i = 0; i < p.height; ++i)
        for (int n = down.begin[std::size_t(i)]; n < down.begin[std::size_t(i) + 1]; ++n)
            targetsOf[std::size_t(down.source[std::size_t(n)] - firstRow)].push_back(
                {i, down.weight[std::size_t(n)]});

    const int firstColumn = across.first;
    const int columns = across.last - firstColumn + 1;
    RowReader rows(image, firstColumn, columns);
    std::vector<float> sourceLight(std::size_t(columns), 0.0f);
    std::vector<float> reduced(std::size_t(p.width), 0.0f);
    std::vector<float> sums(std::size_t(p.width) * std::size_t(p.height), 0.0f);
    for (int sy = firstRow; sy <= down.last; ++sy) {
        const auto& targets = targetsOf[std::size_t(sy - firstRow)];
        if (targets.empty())
            continue;
        const QRgb* row = rows.row(sy);
        for (int c = 0; c < columns; ++c)
            sourceLight[std::size_t(c)] = lightOf(row[c]);
        for (int i = 0; i < p.width; ++i) {
            float v = 0;
            for (int n = across.begin[std::size_t(i)]; n < across.begin[std::size_t(i) + 1]; ++n)
                v += across.weight[std::size_t(n)] *
                     sourceLight[std::size_t(across.source[std::size_t(n)] - firstColumn)];
            reduced[std::size_t(i)] = v;
        }
        for (const auto& [target, weight] : targets) {
            float* out = sums.data() + std::size_t(target) * std::size_t(p.width);
            for (int i = 0; i < p.width; ++i)
                out[i] += weight * reduced[std::size_t(i)];
        }
    }

    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const std::size_t i = ScaledPicture::index(p.x + x, p.y + y);
            result.light[i] = std::clamp(
                sums[std::size_t(y) * std::size_t(p.width) + std::size_t(x)], 0.0f, 1.0f);
            result.covered[i] = true;
        }
    return result;
}

PageBytes ImageConverter::quantize(const ScaledPicture& p, ConversionOptions::Method method,
                                   int threshold, bool invert) {
    std::array<bool, ScaledPicture::kPixels> lit{};
    switch (method) {
    case Method::Threshold: {
        const float above = Srgb::aboveLevel(std::clamp(threshold, 0, 255));
        for (std::size_t i = 0; i < ScaledPicture::kPixels; ++i)
            lit[i] = p.light[i] > above;
        break;
    }
    case Method::FloydSteinberg:
        lit = diffuse(p, kFloydSteinberg);
        break;
    case Method::Atkinson:
        lit = diffuse(p, kAtkinson);
        break;
    case Method::Bayer4:
    case Method::Bayer8: {
        const bool four = method == Method::Bayer4;
        const float cells = four ? 16.0f : 64.0f;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const int rank = four ? bayer4(x, y) : kBayer8[y % 8][x % 8];
                const std::size_t i = ScaledPicture::index(x, y);
                lit[i] = p.light[i] > (float(rank) + 0.5f) / cells;
            }
        break;
    }
    }

    PageBytes pages;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::size_t i = ScaledPicture::index(x, y);
            if (p.covered[i] && lit[i] != invert)
                pages.set(y / 8, x, std::uint8_t(pages.at(y / 8, x) | (1u << (y % 8))));
        }
    return pages;
}
