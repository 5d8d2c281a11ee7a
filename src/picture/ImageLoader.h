#pragma once
// Reads a picture file of any format the installed Qt image plug-ins know, refusing what would
// hurt: paths that are not regular files, files that cannot be read, damaged or incomplete
// pictures, and pictures that would need more than 256 MB to decode (a small file can claim
// a huge size, and a progressive JPEG needs memory for every pixel however small it is decoded).
// JPEGs and PNGs much larger than the board are decoded at a reduced size, which their formats
// allow at little cost, so that a large photo opens quickly and in little memory.

#include "protocol/CommandCode.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

struct LoadedImage {
    QImage image;
    QString error;  // why the file was refused, as read after "The file NAME cannot be used: "
    QSize fullSize; // the picture's own size; larger than image's when only part is decoded

    bool ok() const { return error.isEmpty() && !image.isNull(); }
    // Decoded at a reduced size, or only its centre.
    bool reduced() const { return ok() && image.size() != fullSize; }
};

class ImageLoader {
public:
    static constexpr qint64 kMaxDecodedBytes = 256LL * 1024 * 1024;
    static constexpr qint64 kMaxFileBytes = 256LL * 1024 * 1024;

    // `boardSize`: the screen the picture is for; a JPEG is decoded at a reduced size that still
    // has twice the screen's pixels across its shorter side. An empty size decodes every pixel
    // (for showing a picture at its original size).
    static LoadedImage load(const QString& path,
                            QSize boardSize = {protocol::kColumns, protocol::kRows});

    // The middle `boardSize` pixels of the picture as shown, at full resolution (what "Original
    // size" shows), with the picture's full size. Only those pixels are decoded, so this is
    // quick and small even for a picture too large to open whole.
    static LoadedImage loadCentre(const QString& path,
                                  QSize boardSize = {protocol::kColumns, protocol::kRows});

    // As load() and loadCentre(), for a picture already read (from standard input); the same
    // limits hold.
    static LoadedImage loadData(const QByteArray& bytes,
                                QSize boardSize = {protocol::kColumns, protocol::kRows});
    static LoadedImage loadCentreData(const QByteArray& bytes,
                                      QSize boardSize = {protocol::kColumns, protocol::kRows});

    // The file name patterns of the readable formats, such as "*.png", sorted.
    static QStringList nameFilters();
};
