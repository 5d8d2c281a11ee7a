#include "ctl/LoadedPicture.h"

#include "picture/BitmapReader.h"
#include "picture/ImageConverter.h"
#include "picture/ImageLoader.h"
#include "picture/RegularFile.h"
#include "picture/UploadBuffer.h"
#include "protocol/CommandCode.h"

#include <QFile>
#include <span>

namespace ctl {

namespace {

// A one-bit BMP the display can take is a few kilobytes; more is read only to say what it is.
constexpr qint64 kMaxReadBytes = 16 * 1024 * 1024;

} // namespace

engine::Screen LoadedPicture::screen() const {
    UploadBuffer buffer;
    buffer.pack(pages, width, pageCount);
    engine::Screen bytes{};
    for (std::size_t s = 0; s < bytes.size(); ++s)
        bytes[s] = std::uint8_t(255 - buffer.stream(int(s)));
    return bytes;
}

LoadedPicture loadPicture(const QString& path, const PictureOptions& options) {
    LoadedPicture picture;
    QFile file;
    // Only a regular file: a FIFO or a device would block here or have side effects.
    if (const QString why = RegularFile::open(path, file); !why.isEmpty()) {
        picture.error = QStringLiteral("%1 cannot be used: %2").arg(path, why);
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

    // Any other picture (other BMPs, PNG, JPEG, ...), and any picture with conversion options,
    // is converted as the window's "Convert Picture" dialog does.
    const LoadedImage image = options.size == PictureOptions::Size::Original
                                  ? ImageLoader::loadCentre(path)
                                  : ImageLoader::load(path);
    if (!image.ok()) {
        picture.pages = PageBytes();
        picture.error = QStringLiteral("%1 cannot be used: %2").arg(path, image.error);
        return picture;
    }
    picture.pages = ImageConverter::convert(image.image, options);
    picture.width = protocol::kColumns;
    picture.pageCount = protocol::kPages;
    return picture;
}

} // namespace ctl
