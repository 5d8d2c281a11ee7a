#include "picture/PictureFile.h"

#include "picture/BitmapReader.h"
#include "picture/ImageConverter.h"
#include "picture/RegularFile.h"
#include "picture/UploadBuffer.h"

#include <QFile>
#include <algorithm>
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

// A one-bit BMP the reader takes fills `pages` and the sizes; a broken BMP gives the error;
// anything else leaves the picture to convert. `bytes`: the start of the file, all of a BMP.
PictureFile readOneBit(const QByteArray& bytes) {
    PictureFile picture;
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

PictureFile readOneBit(const QString& path) {
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
        PictureFile picture;
        picture.error = why;
        return picture;
    }
    return readOneBit(bytes);
}

// The picture converted by `options` unless it is a one-bit BMP taken as it is; `decode` reads
// it as a picture to convert, whole or its centre.
template <typename Decode>
PictureFile converted(PictureFile picture, const ConversionOptions& options, Decode decode) {
    if (!picture.ok() || (!picture.toConvert() && options == ConversionOptions{}))
        return picture;

    // Converted as the window's "Convert Picture" dialog converts.
    const LoadedImage image = decode(options.size == ConversionOptions::Size::Original);
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
    return converted(readOneBit(path), options, [&](bool centre) {
        return centre ? ImageLoader::loadCentre(path) : ImageLoader::load(path);
    });
}

PictureFile PictureFile::loadData(const QByteArray& bytes, const ConversionOptions& options) {
    const QByteArray start = bytes.first(
        std::min<qsizetype>(bytes.size(), bytes.startsWith("BM") ? kMaxBitmapBytes : 2));
    return converted(readOneBit(start), options, [&](bool centre) {
        return centre ? ImageLoader::loadCentreData(bytes) : ImageLoader::loadData(bytes);
    });
}

protocol::Screen PictureFile::screen() const {
    UploadBuffer buffer;
    buffer.pack(pages, width, pageCount);
    return buffer.screen();
}
