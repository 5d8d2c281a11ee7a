#include "ctl/LoadedPicture.h"

#include "picture/BitmapReader.h"
#include "picture/UploadBuffer.h"

#include <QFile>
#include <span>

namespace ctl {

namespace {

// A one-bit BMP the display can take is a few kilobytes; more is read only to say what it is.
constexpr qint64 kMaxReadBytes = 16 * 1024 * 1024;

QString whyNotOneBit(const BitmapReadResult& r) {
    using Error = BitmapReadResult::Error;
    switch (r.error) {
    case Error::None:
    case Error::NotBmp:
        return {};
    case Error::NotOneBit:
        return QStringLiteral(" (this one has %1 bits per pixel)").arg(r.bitsPerPixel);
    case Error::Compressed:
        return QStringLiteral(" (this one is compressed)");
    case Error::TooLarge:
        return QStringLiteral(" (this one is %1 x %2 pixels; at most 256 x 128 can be read)")
            .arg(r.width)
            .arg(r.height);
    case Error::UnknownHeader:
    case Error::Malformed:
    case Error::Truncated:
        return QStringLiteral(" (this one is damaged or of an unknown kind)");
    }
    return {};
}

} // namespace

engine::BoardSession::Screen LoadedPicture::screen() const {
    UploadBuffer buffer;
    buffer.pack(pages, width, pageCount);
    engine::BoardSession::Screen bytes{};
    for (std::size_t s = 0; s < bytes.size(); ++s)
        bytes[s] = std::uint8_t(255 - buffer.stream(int(s)));
    return bytes;
}

LoadedPicture loadPicture(const QString& path, const PictureOptions& options) {
    LoadedPicture picture;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        picture.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return picture;
    }
    const QByteArray bytes = file.read(kMaxReadBytes);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const BitmapReadResult read =
        BitmapReader::read(std::span(data, std::size_t(bytes.size())), picture.pages);
    if (read.ok() && options == PictureOptions{}) {
        picture.width = int(read.width);
        picture.pageCount = read.pageCount;
        return picture;
    }

    // ---- PICTURE CONVERTER GOES HERE ------------------------------------------------------
    // Every other picture (other BMPs, PNG, JPEG, ...) and any picture with conversion options
    // goes through the picture converter, which this branch does not have yet. Once it is in:
    //   const LoadedImage image = ImageLoader::load(path);
    //   if (!image.ok()) { picture.error = image.error; return picture; }
    //   picture.pages = ImageConverter::convert(image.image, <options as ConversionOptions>);
    //   picture.width = protocol::kColumns;
    //   picture.pageCount = protocol::kPages;
    //   return picture;
    // ----------------------------------------------------------------------------------------
    picture.pages = PageBytes();
    if (read.ok())
        picture.error = QStringLiteral("%1: the picture options cannot be applied: only one-bit "
                                       "BMP pictures can be read, as they are")
                            .arg(path);
    else
        picture.error = QStringLiteral("%1: only one-bit BMP pictures can be read%2")
                            .arg(path, whyNotOneBit(read));
    return picture;
}

} // namespace ctl
