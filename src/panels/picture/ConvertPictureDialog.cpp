#include "panels/picture/ConvertPictureDialog.h"

#include "panels/PanelWidgets.h"
#include "picture/ImageConverter.h"
#include "picture/LightAdjustment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

namespace {

using Size = ConversionOptions::Size;
using Method = ConversionOptions::Method;

// The virtual board's glass: a blue negative display, lit pixels pale cyan on deep blue.
constexpr QRgb kLit = qRgb(192, 255, 255);
constexpr QRgb kUnlit = qRgb(0, 0, 255);

constexpr int kViewWidth = ImageConverter::kWidth * ConvertPictureDialog::kZoom;
constexpr int kViewHeight = ImageConverter::kHeight * ConvertPictureDialog::kZoom;
constexpr int kViewFrame = 2;

QLabel* view(QWidget* parent, const char* objectName, const QString& accessibleName) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setAccessibleName(accessibleName);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(kViewFrame);
    label->setFixedSize(kViewWidth + 2 * kViewFrame, kViewHeight + 2 * kViewFrame);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// The picture as opened, made to fit the view, transparent parts over white as it is converted.
QPixmap sourceLook(const QImage& picture) {
    const QSize size = picture.size().scaled(kViewWidth, kViewHeight, Qt::KeepAspectRatio);
    QImage look(size.expandedTo({1, 1}), QImage::Format_RGB32);
    look.fill(Qt::white);
    QPainter painter(&look);
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          size.width() < picture.width()); // small pictures stay crisp
    painter.drawImage(look.rect(), picture);
    painter.end();
    return QPixmap::fromImage(look);
}

// A slider and a box showing the same value, -100..100 from 0, named after `caption`
// ("Brightness": brightnessSlider "Brightness" and brightnessBox "Brightness value").
std::pair<QSlider*, QSpinBox*> adjustmentControls(QWidget* parent, const QString& caption) {
    const QString name = caption.toLower();
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name + QStringLiteral("Slider"));
    slider->setAccessibleName(caption);
    slider->setRange(LightAdjustment::kMinimum, LightAdjustment::kMaximum);
    slider->setPageStep(10);
    auto* box = new QSpinBox(parent);
    box->setObjectName(name + QStringLiteral("Box"));
    box->setAccessibleName(caption + QStringLiteral(" value"));
    box->setRange(LightAdjustment::kMinimum, LightAdjustment::kMaximum);
    QObject::connect(slider, &QSlider::valueChanged, box, &QSpinBox::setValue);
    QObject::connect(box, &QSpinBox::valueChanged, slider, &QSlider::setValue);
    return {slider, box};
}

QHBoxLayout* row(QSlider* slider, QSpinBox* box) {
    auto* layout = new QHBoxLayout;
    layout->addWidget(slider, 1);
    layout->addWidget(box);
    return layout;
}

} // namespace

ConvertPictureDialog::ConvertPictureDialog(const QImage& picture, QWidget* parent)
    : QDialog(parent), picture_(picture) {
    setObjectName(QStringLiteral("ConvertPicture"));
    setWindowTitle(QStringLiteral("Convert Picture"));
    setAccessibleName(windowTitle());

    sourceView_ = view(this, "sourceView", QStringLiteral("Picture"));
    sourceView_->setAccessibleDescription(
        QStringLiteral("%1 x %2 pixels").arg(picture.width()).arg(picture.height()));
    sourceView_->setPixmap(sourceLook(picture));
    previewView_ = view(this, "previewView", QStringLiteral("Preview as the board shows it"));
    auto* sourceCaption = new QLabel(
        QStringLiteral("Picture (%1 x %2)").arg(picture.width()).arg(picture.height()), this);
    auto* previewCaption = new QLabel(QStringLiteral("On the board (%1 x %2)")
                                          .arg(ImageConverter::kWidth)
                                          .arg(ImageConverter::kHeight),
                                      this);

    sizeChoice_ = new QComboBox(this);
    sizeChoice_->setObjectName(QStringLiteral("sizeChoice"));
    sizeChoice_->setAccessibleName(QStringLiteral("Size"));
    sizeChoice_->addItem(QStringLiteral("Fit"), int(Size::Fit));
    sizeChoice_->addItem(QStringLiteral("Fill"), int(Size::Fill));
    sizeChoice_->addItem(QStringLiteral("Stretch"), int(Size::Stretch));
    sizeChoice_->addItem(QStringLiteral("Original size"), int(Size::Original));
    sizeChoice_->setItemData(0, QStringLiteral("The whole picture, with empty bands"),
                             Qt::ToolTipRole);
    sizeChoice_->setItemData(1, QStringLiteral("The whole screen, the picture cropped"),
                             Qt::ToolTipRole);
    sizeChoice_->setItemData(2, QStringLiteral("The picture's sides to the screen's"),
                             Qt::ToolTipRole);
    sizeChoice_->setItemData(3, QStringLiteral("One picture pixel per board pixel, centred"),
                             Qt::ToolTipRole);

    methodChoice_ = new QComboBox(this);
    methodChoice_->setObjectName(QStringLiteral("methodChoice"));
    methodChoice_->setAccessibleName(QStringLiteral("Conversion"));
    methodChoice_->addItem(QStringLiteral("Threshold"), int(Method::Threshold));
    methodChoice_->addItem(QStringLiteral("Floyd-Steinberg"), int(Method::FloydSteinberg));
    methodChoice_->addItem(QStringLiteral("Atkinson"), int(Method::Atkinson));
    methodChoice_->addItem(QStringLiteral("Bayer 4x4"), int(Method::Bayer4));
    methodChoice_->addItem(QStringLiteral("Bayer 8x8"), int(Method::Bayer8));

    automaticThreshold_ = ImageConverter::otsuThreshold(picture);
    thresholdSlider_ = new QSlider(Qt::Horizontal, this);
    thresholdSlider_->setObjectName(QStringLiteral("thresholdSlider"));
    thresholdSlider_->setAccessibleName(QStringLiteral("Threshold"));
    thresholdSlider_->setRange(0, 255);
    thresholdSlider_->setPageStep(16);
    thresholdSlider_->setValue(automaticThreshold_);
    thresholdSlider_->setMinimumWidth(200);
    thresholdBox_ = new QSpinBox(this);
    thresholdBox_->setObjectName(QStringLiteral("thresholdBox"));
    thresholdBox_->setAccessibleName(QStringLiteral("Threshold value"));
    thresholdBox_->setRange(0, 255);
    thresholdBox_->setValue(automaticThreshold_);
    thresholdAuto_ = widgets::button(this, "thresholdAuto", QStringLiteral("&Automatic"),
                                     QStringLiteral("Automatic threshold"));
    thresholdAuto_->setToolTip(
        QStringLiteral("The picture's own mid-grey (Otsu's method): %1").arg(automaticThreshold_));

    std::tie(brightnessSlider_, brightnessBox_) =
        adjustmentControls(this, QStringLiteral("Brightness"));
    std::tie(contrastSlider_, contrastBox_) = adjustmentControls(this, QStringLiteral("Contrast"));

    invertCheck_ = new QCheckBox(QStringLiteral("&Invert"), this);
    invertCheck_->setObjectName(QStringLiteral("invertCheck"));
    invertCheck_->setAccessibleName(QStringLiteral("Invert"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setAccessibleName(QStringLiteral("OK"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAccessibleName(QStringLiteral("Cancel"));

    auto* views = new QGridLayout;
    views->addWidget(sourceCaption, 0, 0);
    views->addWidget(previewCaption, 0, 1);
    views->addWidget(sourceView_, 1, 0);
    views->addWidget(previewView_, 1, 1);

    auto* choices = new QGridLayout;
    choices->addWidget(widgets::label(this, QStringLiteral("&Size:"), sizeChoice_), 0, 0);
    choices->addWidget(sizeChoice_, 0, 1);
    choices->addWidget(widgets::label(this, QStringLiteral("&Conversion:"), methodChoice_), 1, 0);
    choices->addWidget(methodChoice_, 1, 1);
    choices->addWidget(widgets::label(this, QStringLiteral("&Threshold:"), thresholdSlider_), 2, 0);
    auto* thresholdRow = new QHBoxLayout;
    thresholdRow->addWidget(thresholdSlider_, 1);
    thresholdRow->addWidget(thresholdBox_);
    thresholdRow->addWidget(thresholdAuto_);
    choices->addLayout(thresholdRow, 2, 1);
    choices->addWidget(widgets::label(this, QStringLiteral("&Brightness:"), brightnessSlider_), 3,
                       0);
    choices->addLayout(row(brightnessSlider_, brightnessBox_), 3, 1);
    choices->addWidget(widgets::label(this, QStringLiteral("C&ontrast:"), contrastSlider_), 4, 0);
    choices->addLayout(row(contrastSlider_, contrastBox_), 4, 1);
    choices->addWidget(invertCheck_, 5, 1);
    choices->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(views);
    layout->addLayout(choices);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(sizeChoice_, methodChoice_);
    setTabOrder(methodChoice_, thresholdSlider_);
    setTabOrder(thresholdSlider_, thresholdBox_);
    setTabOrder(thresholdBox_, thresholdAuto_);
    setTabOrder(thresholdAuto_, brightnessSlider_);
    setTabOrder(brightnessSlider_, brightnessBox_);
    setTabOrder(brightnessBox_, contrastSlider_);
    setTabOrder(contrastSlider_, contrastBox_);
    setTabOrder(contrastBox_, invertCheck_);
    setTabOrder(invertCheck_, ok);
    setTabOrder(ok, cancel);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(sizeChoice_, &QComboBox::currentIndexChanged, this, &ConvertPictureDialog::sizeChanged);
    connect(methodChoice_, &QComboBox::currentIndexChanged, this,
            &ConvertPictureDialog::conversionChanged);
    connect(thresholdSlider_, &QSlider::valueChanged, thresholdBox_, &QSpinBox::setValue);
    connect(thresholdBox_, &QSpinBox::valueChanged, thresholdSlider_, &QSlider::setValue);
    connect(thresholdSlider_, &QSlider::valueChanged, this,
            &ConvertPictureDialog::conversionChanged);
    connect(thresholdAuto_, &QPushButton::clicked, this,
            [this] { thresholdSlider_->setValue(automaticThreshold_); });
    for (QSlider* adjustment : {brightnessSlider_, contrastSlider_})
        connect(adjustment, &QSlider::valueChanged, this, &ConvertPictureDialog::conversionChanged);
    connect(invertCheck_, &QCheckBox::toggled, this, &ConvertPictureDialog::conversionChanged);

    sizeChanged();
    sizeChoice_->setFocus();
}

ConvertPictureDialog::~ConvertPictureDialog() = default;

void ConvertPictureDialog::setOriginalSizeSource(std::function<QImage()> load) {
    loadOriginalSize_ = std::move(load);
}

ConversionOptions ConvertPictureDialog::options() const {
    ConversionOptions o;
    o.size = Size(sizeChoice_->currentData().toInt());
    o.method = Method(methodChoice_->currentData().toInt());
    if (o.method == Method::Threshold)
        o.threshold = thresholdSlider_->value();
    o.invert = invertCheck_->isChecked();
    o.brightness = brightnessSlider_->value();
    o.contrast = contrastSlider_->value();
    return o;
}

const QImage& ConvertPictureDialog::pictureFor(Size size) {
    if (size != Size::Original)
        return picture_;
    if (loadOriginalSize_) {
        originalSizePicture_ = loadOriginalSize_();
        loadOriginalSize_ = nullptr; // one attempt: if it fails, the picture as opened serves
    }
    return originalSizePicture_.isNull() ? picture_ : originalSizePicture_;
}

void ConvertPictureDialog::sizeChanged() {
    const Size size = Size(sizeChoice_->currentData().toInt());
    auto& scaled = scaled_[std::size_t(size)];
    if (!scaled)
        scaled = std::make_unique<ScaledPicture>(ImageConverter::scale(pictureFor(size), size));
    current_ = scaled.get();
    conversionChanged();
}

void ConvertPictureDialog::conversionChanged() {
    const ConversionOptions o = options();
    thresholdSlider_->setEnabled(o.method == Method::Threshold);
    thresholdBox_->setEnabled(o.method == Method::Threshold);
    thresholdAuto_->setEnabled(o.method == Method::Threshold);
    if (!current_)
        return;
    const LightAdjustment adjustment(o.brightness, o.contrast);
    screen_ = ImageConverter::quantize(adjustment.appliedTo(*current_), o.method,
                                       o.threshold.value_or(automaticThreshold_), o.invert);
    previewView_->setPixmap(QPixmap::fromImage(boardLook(screen_, kZoom)));
}

QImage ConvertPictureDialog::boardLook(const PageBytes& screen, int zoom) {
    const int w = ImageConverter::kWidth;
    const int h = ImageConverter::kHeight;
    QImage image(w * zoom, h * zoom, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y * zoom));
        for (int x = 0; x < w; ++x) {
            const QRgb c = (screen.at(y / 8, x) >> (y % 8)) & 1 ? kLit : kUnlit;
            std::fill(line + x * zoom, line + (x + 1) * zoom, c);
        }
        for (int dy = 1; dy < zoom; ++dy)
            std::copy(line, line + w * zoom,
                      reinterpret_cast<QRgb*>(image.scanLine(y * zoom + dy)));
    }
    return image;
}
