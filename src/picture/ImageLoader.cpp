#include "picture/ImageLoader.h"

#include "picture/DecoderWarnings.h"
#include "picture/JpegStructure.h"
#include "picture/RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageIOHandler>
#include <QImageReader>
#include <algorithm>

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;

qint64 megabytes(qint64 bytes) {
    return (bytes + kMegabyte - 1) / kMegabyte;
}

QString readFailure(const QImageReader& reader) {
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("it is not a picture in a format this program reads.");
    case QImageReader::DeviceError:
        return QStringLiteral("it cannot be read (%1).").arg(reader.errorString());
    case QImageReader::InvalidDataError:
        return QStringLiteral("it is damaged or incomplete (%1).").arg(reader.errorString());
    default:
        return QStringLiteral("it cannot be read as a picture (%1).").arg(reader.errorString());
    }
}

enum class Part { Whole, Centre };

// The middle of a picture as it is shown (turned upright), as a rectangle of the picture as it
// is stored: the decoder clips before it turns. Qt mirrors and flips the stored picture first,
// then turns it a quarter clockwise.
QRect storedCentre(QSize stored, QImageIOHandler::Transformations turn, QSize boardSize) {
    const bool quarter = turn & QImageIOHandler::TransformationRotate90;
    const QSize shown = quarter ? stored.transposed() : stored;
    const int w = std::min(shown.width(), boardSize.width());
    const int h = std::min(shown.height(), boardSize.height());
    const int x = (shown.width() - w) / 2;
    const int y = (shown.height() - h) / 2;
    QRect r = quarter ? QRect(y, stored.height() - x - w, h, w) : QRect(x, y, w, h);
    if (turn & QImageIOHandler::TransformationMirror)
        r.moveLeft(stored.width() - r.x() - r.width());
    if (turn & QImageIOHandler::TransformationFlip)
        r.moveTop(stored.height() - r.y() - r.height());
    return r;
}

QString sizeRefused(qint64 fileBytes) {
    constexpr qint64 kMaxFileBytes = ImageLoader::kMaxFileBytes;
    if (fileBytes == 0)
        return QStringLiteral("it is empty.");
    if (fileBytes > kMaxFileBytes)
        return QStringLiteral("it is %1 MB; the largest picture file that can be opened is %2 MB.")
            .arg(megabytes(fileBytes))
            .arg(megabytes(kMaxFileBytes));
    return {};
}

LoadedImage decodePart(QByteArray bytes, QSize boardSize, Part part);

LoadedImage loadPart(const QString& path, QSize boardSize, Part part) {
    LoadedImage result;
    QFile file;
    result.error = RegularFile::open(path, file);
    if (!result.error.isEmpty())
        return result;
    const qint64 fileBytes = file.size();
    result.error = sizeRefused(fileBytes);
    if (!result.error.isEmpty())
        return result;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() != fileBytes) {
        result.error = QStringLiteral("it cannot be read (%1).").arg(file.errorString());
        return result;
    }
    file.close();
    return decodePart(std::move(bytes), boardSize, part);
}

LoadedImage decodePart(QByteArray bytes, QSize boardSize, Part part) {
    constexpr qint64 kMaxDecodedBytes = ImageLoader::kMaxDecodedBytes;
    const bool centre = part == Part::Centre && boardSize.isValid() && !boardSize.isEmpty();
    LoadedImage result;
    result.error = sizeRefused(bytes.size());
    if (!result.error.isEmpty())
        return result;

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true); // photos taken upright show upright
    const QByteArray format = reader.format();
    if (format.isEmpty() || !reader.canRead()) {
        result.error = QStringLiteral("it is not a picture in a format this program reads.");
        return result;
    }

    const QString cutShort = QStringLiteral("it is damaged or incomplete (the JPEG data ends "
                                            "before the picture does).");
    const bool isJpeg = format == "jpeg" || format == "jpg";
    JpegStructure jpeg;
    if (isJpeg) {
        jpeg = JpegStructure::read(bytes);
        if (!jpeg.complete) {
            result.error = cutShort;
            return result;
        }
    }

    // The memory the decoder needs, from the picture's header, checked before a single pixel
    // is decoded.
    const QSize stored = reader.size();
    if (stored.isValid()) {
        QSize decoded = stored;
        const bool quarterTurn = reader.transformation() & QImageIOHandler::TransformationRotate90;
        if (centre) {
            const QRect clip = storedCentre(stored, reader.transformation(), boardSize);
            reader.setClipRect(clip);
            decoded = clip.size();
        } else if (reader.supportsOption(QImageIOHandler::ScaledSize) && boardSize.isValid() &&
                   !boardSize.isEmpty()) {
            // JPEG reduces by 2, 4 or 8 almost for free, PNG averages its rows as it reads them.
            // Keep twice the screen's longer side across the picture's shorter side, whichever
            // way the photo is turned.
            const qint64 needed = 2LL * std::max(boardSize.width(), boardSize.height());
            const qint64 shorter = std::min(stored.width(), stored.height());
            int divisor = 1;
            while (divisor < 8 && shorter / (2LL * divisor) >= needed)
                divisor *= 2;
            if (divisor > 1) {
                decoded = QSize((stored.width() + divisor - 1) / divisor,
                                (stored.height() + divisor - 1) / divisor);
                reader.setScaledSize(decoded);
            }
        }
        // The decoded picture, the turned copy Qt makes of it, and the coefficients a
        // progressive or multi-scan JPEG holds at full size however small it is decoded. Other
        // formats read every row at full size whatever part or size they put out: they are
        // held to the whole picture, which also bounds the time a small file can ask for.
        const QSize held = isJpeg ? decoded : stored;
        const qint64 heldBytes = qint64(held.width()) * held.height() * 4;
        const qint64 neededBytes = heldBytes * (quarterTurn ? 2 : 1) + jpeg.coefficientBytes();
        if (neededBytes > kMaxDecodedBytes) {
            result.error = QStringLiteral("the picture is %1 x %2 pixels; opening it would take "
                                          "%3 MB of memory, more than the %4 MB allowed.")
                               .arg(stored.width())
                               .arg(stored.height())
                               .arg(megabytes(neededBytes))
                               .arg(megabytes(kMaxDecodedBytes));
            return result;
        }
        result.fullSize = stored;
        if (quarterTurn)
            result.fullSize.transpose();
    }

    // Also for formats that cannot tell their size beforehand.
    QImageReader::setAllocationLimit(int(kMaxDecodedBytes / kMegabyte));
    QImage image;
    DecoderWarnings warnings;
    if (!reader.read(&image)) {
        result.error = readFailure(reader);
        return result;
    }
    // The JPEG decoder fills what is missing with grey; extra bytes it skips do no harm.
    if (warnings.mention(QStringLiteral("premature end of data segment"))) {
        result.error = cutShort;
        return result;
    }
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        result.error = QStringLiteral("it holds no picture.");
        return result;
    }
    if (!result.fullSize.isValid())
        result.fullSize = image.size();
    if (centre && (image.width() > boardSize.width() || image.height() > boardSize.height())) {
        // A format that could not be clipped before decoding.
        const int w = std::min(image.width(), boardSize.width());
        const int h = std::min(image.height(), boardSize.height());
        image = image.copy((image.width() - w) / 2, (image.height() - h) / 2, w, h);
    }
    result.image = image;
    return result;
}

} // namespace

LoadedImage ImageLoader::load(const QString& path, QSize boardSize) {
    return loadPart(path, boardSize, Part::Whole);
}

LoadedImage ImageLoader::loadCentre(const QString& path, QSize boardSize) {
    return loadPart(path, boardSize, Part::Centre);
}

LoadedImage ImageLoader::loadData(const QByteArray& bytes, QSize boardSize) {
    return decodePart(bytes, boardSize, Part::Whole);
}

LoadedImage ImageLoader::loadCentreData(const QByteArray& bytes, QSize boardSize) {
    return decodePart(bytes, boardSize, Part::Centre);
}

QStringList ImageLoader::nameFilters() {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format).toLower();
    patterns.removeDuplicates();
    patterns.sort();
    return patterns;
}
