// Converting photos to the board's screen. Prints, over several runs (median and slowest):
//   - a 4000 x 3000 JPEG read from disk and made into page bytes with Floyd-Steinberg,
//     reading included (goal: under 150 ms), and its two halves;
//   - one preview update of "Convert Picture", made and painted, when the threshold slider moves,
//     and when the method changes to dithering (goal: under 16 ms, one frame).

#include "panels/picture/ConvertPictureDialog.h"
#include "picture/ImageConverter.h"
#include "picture/ImageLoader.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 9;

// A photo-like picture: gradients, a few shapes and fine texture, so that its JPEG is as large
// and as slow to decode as a real photo of that size (a few MB).
QImage photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int texture = ((x * 73) ^ (y * 151) ^ (x * y)) & 31;
            const int sky = 120 + y * 100 / height;
            const bool hill = y > height / 2 + (x % 997) * height / 6000;
            const int r = (hill ? 60 : sky / 2) + texture;
            const int g = (hill ? 110 : sky * 3 / 4) + texture;
            const int b = (hill ? 40 : sky) + texture / 2;
            line[x] = qRgb(std::min(r, 255), std::min(g, 255), std::min(b, 255));
        }
    }
    return image;
}

struct Figures {
    double median = 0;
    double slowest = 0;
};

Figures figures(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

const char* verdict(double ms, double goal) {
    return ms < goal ? "met" : "MISSED";
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    if (!photo(4000, 3000).save(path, "JPEG", 90)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("4000 x 3000 JPEG, %lld KB\n", QFileInfo(path).size() / 1024);

    ConversionOptions options;
    options.method = ConversionOptions::Method::FloydSteinberg;
    std::vector<double> total, loading, converting;
    PageBytes pages;
    LoadedImage loaded;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        loaded = ImageLoader::load(path);
        const qint64 afterLoad = clock.nsecsElapsed();
        if (!loaded.ok()) {
            std::fprintf(stderr, "cannot load: %s\n", qPrintable(loaded.error));
            return 1;
        }
        pages = ImageConverter::convert(loaded.image, options);
        const qint64 end = clock.nsecsElapsed();
        loading.push_back(afterLoad / 1e6);
        converting.push_back((end - afterLoad) / 1e6);
        total.push_back(end / 1e6);
    }
    const Figures all = figures(total);
    std::printf("  read + Floyd-Steinberg: median %.1f ms, slowest %.1f ms (goal < 150 ms: %s)\n",
                all.median, all.slowest, verdict(all.median, 150));
    std::printf("    read (decoded at %d x %d): median %.1f ms; conversion: median %.1f ms\n",
                loaded.image.width(), loaded.image.height(), figures(loading).median,
                figures(converting).median);

    ConvertPictureDialog dialog(loaded.image);
    dialog.show();
    QApplication::processEvents();
    auto* preview = dialog.findChild<QLabel*>(QStringLiteral("previewView"));
    auto* slider = dialog.findChild<QSlider*>(QStringLiteral("thresholdSlider"));
    auto* method = dialog.findChild<QComboBox*>(QStringLiteral("methodChoice"));
    std::vector<double> moves;
    for (int run = 0; run < 10 * kRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        slider->setValue(40 + run % 180); // the new screen is made before this returns
        preview->repaint();               // and painted
        moves.push_back(clock.nsecsElapsed() / 1e6);
    }
    const Figures slide = figures(moves);
    std::printf("  preview update, slider moved: median %.2f ms, slowest %.2f ms "
                "(goal < 16 ms: %s)\n",
                slide.median, slide.slowest, verdict(slide.median, 16));
    std::vector<double> switches;
    for (int run = 0; run < 4 * kRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        method->setCurrentIndex(1 + run % 4); // Floyd-Steinberg, Atkinson, Bayer 4x4, 8x8
        preview->repaint();
        switches.push_back(clock.nsecsElapsed() / 1e6);
    }
    const Figures change = figures(switches);
    std::printf("  preview update, method changed: median %.2f ms, slowest %.2f ms "
                "(goal < 16 ms: %s)\n",
                change.median, change.slowest, verdict(change.median, 16));
    return 0;
}
