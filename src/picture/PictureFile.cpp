#include "picture/PictureFile.h"

#include "picture/BitmapReader.h"
#include "picture/ImageConverter.h"
#include "picture/RegularFile.h"
#include "picture/UploadBuffer.h"

#include <QFile>
#include <span>

namespace {

// A one-bit BMP the board can take is a few kilobytes; more is read only to say what it is.
constexpr qint64 kMaxBitmapBytes = 16 * 1024 * 1024;

// Why a BMP broken as a BMP cannot be used; empty when the file may still be a picture to
// convert (no BMP at all, or a BMP of a kind the board cannot take as it is).
QString brokenBitmap(const BitmapReadResult& result) {
    using Error = BitmapReadResult::Error;
    switch (result.error) {
    case Error::UnknownHeader:
        return QStringLiteral("its BMP header (%1 bytes) is of a kind this program does not read.")
            .arg(result.headerSize);
    case Error::Malformed:
        return QStringLiteral("it is not a valid BMP picture.");
    case Error::Truncated:
        return QStringLiteral("the file ends before its picture data does.");
    default:
        return {};
    }
}

// A one-bit BMP the reader takes fills `pages` and the sizes; a file that cannot be read or a
// broken BMP gives the error; anything else leaves the file to convert.
PictureFile readOneBit(const QString& path) {
    PictureFile picture;
    // Only a regular file is read: a named pipe or a device would block.
    QFile file;
    QString why = RegularFile::open(path, file);
    QByteArray bytes;
    if (why.isEmpty()) {
        // Only a BMP can go the one-bit way; other pictures are read by the picture loader.
        bytes = file.peek(2) == "BM" ? file.read(kMaxBitmapBytes) : file.read(2);
        if (file.error() != QFileDevice::NoError)
            why = QStringLiteral("it cannot be read (%1).").arg(file.errorString());
    }
    if (!why.isEmpty()) {
        picture.error = why;
        return picture;
    }
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             std::size_t(bytes.size()));
    const BitmapReadResult result = BitmapReader::read(data, picture.pages);
    if (!result.ok()) {
        picture.error = brokenBitmap(result);
        return picture;
    }
    picture.width = int(result.width);
    picture.height = int(result.height);
    picture.pageCount = result.pageCount;
    return picture;
}

} // namespace

PictureFile PictureFile::open(const QString& path) {
    PictureFile picture = readOneBit(path);
    if (picture.toConvert()) {
        picture.image = ImageLoader::load(path);
        if (!picture.image.ok())
            picture.error = picture.image.error;
    }
    return picture;
}

PictureFile PictureFile::load(const QString& path, const ConversionOptions& options) {
    PictureFile picture = readOneBit(path);
    if (!picture.ok() || (!picture.toConvert() && options == ConversionOptions{}))
        return picture;

    // Converted as the window's "Convert Picture" dialog converts.
    const LoadedImage image = options.size == ConversionOptions::Size::Original
                                  ? ImageLoader::loadCentre(path)
                                  : ImageLoader::load(path);
    picture = PictureFile();
    if (!image.ok()) {
        picture.error = image.error;
        return picture;
    }
    picture.pages = ImageConverter::convert(image.image, options);
    picture.width = protocol::kColumns;
    picture.height = protocol::kRows;
    picture.pageCount = protocol::kPages;
    return picture;
}

protocol::Screen PictureFile::screen() const {
    UploadBuffer buffer;
    buffer.pack(pages, width, pageCount);
    return buffer.screen();
}
