#pragma once
// "Convert Picture": makes an ordinary picture into the board's one-bit screen, with
// the picture beside a live preview of the screen as the board shows it (light pixels on the
// dark blue glass, twice the size).
//
//   name             what it is
//   sourceView       the picture as opened
//   previewView      the screen the board will show
//   sizeChoice       "Fit", "Fill", "Stretch", "Original size"
//   methodChoice     "Threshold", "Floyd-Steinberg", "Atkinson", "Bayer 4x4", "Bayer 8x8"
//   thresholdSlider  0..255, starting at the picture's own mid-grey (Otsu's method); with
//   thresholdBox     the same value to type; both for "Threshold" only
//   thresholdAuto    "Automatic": back to the picture's own mid-grey
//   brightnessSlider -100..100, starting at 0; with
//   brightnessBox    the same value to type
//   contrastSlider   -100..100, starting at 0; with
//   contrastBox      the same value to type
//   invertCheck      "Invert": lit and unlit swapped
//   okButton, cancelButton
//   saveAsButton     "Save As...": added by PicturePanel (ScreenSaveAs), the screen as a file
//
// The picture is scaled to the screen once for each size it is shown at; a change of the
// method, the threshold, brightness, contrast or Invert only makes the screen one-bit again.

#include "picture/ConversionOptions.h"
#include "picture/PageBytes.h"
#include "picture/ScaledPicture.h"

#include <QDialog>
#include <QImage>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

class ConvertPictureDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kZoom = 2;

    ConvertPictureDialog(const QImage& picture, QWidget* parent = nullptr);
    ~ConvertPictureDialog() override;

    // Where to get the middle of the picture at full resolution when "Original size" needs it
    // and the picture given was decoded at a reduced size. Asked once, when first needed.
    void setOriginalSizeSource(std::function<QImage()> load);

    ConversionOptions options() const;
    // The screen as the options make it: pages 0..15, columns 0..159.
    const PageBytes& result() const { return screen_; }
    // The picture's own mid-grey, the threshold it starts with.
    int automaticThreshold() const { return automaticThreshold_; }

    // The screen drawn as the board's glass shows it, `zoom` times its size.
    static QImage boardLook(const PageBytes& screen, int zoom);

private:
    void sizeChanged();
    void conversionChanged();
    const QImage& pictureFor(ConversionOptions::Size size);

    QImage picture_;
    QImage originalSizePicture_;
    std::function<QImage()> loadOriginalSize_;
    std::array<std::unique_ptr<ScaledPicture>, 4> scaled_; // by size, made when first shown
    const ScaledPicture* current_ = nullptr;
    int automaticThreshold_ = 127;
    PageBytes screen_;

    QLabel* sourceView_;
    QLabel* previewView_;
    QComboBox* sizeChoice_;
    QComboBox* methodChoice_;
    QSlider* thresholdSlider_;
    QSpinBox* thresholdBox_;
    QPushButton* thresholdAuto_;
    QSlider* brightnessSlider_;
    QSpinBox* brightnessBox_;
    QSlider* contrastSlider_;
    QSpinBox* contrastBox_;
    QCheckBox* invertCheck_;
};
