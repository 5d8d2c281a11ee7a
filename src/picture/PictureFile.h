#pragma once
// A picture file as the board's screen takes it, read the same way by the window's "Open" and
// by `vantrelctl picture`. A one-bit BMP the reader takes goes as it is; a BMP broken as a BMP
// is refused with its own reason, the clearer one; any other picture is one to convert.

#include "picture/ConversionOptions.h"
#include "picture/ImageLoader.h"
#include "picture/PageBytes.h"
#include "protocol/Screen.h"

#include <QByteArray>
#include <QString>

struct PictureFile {
    PageBytes pages;   // the one-bit BMP as it is, or the converted screen
    int width = 0;     // columns of `pages` in use; 0 while the picture is still to convert
    int height = 0;    // pixel rows of the picture
    int pageCount = 0; // pages of `pages` in use
    LoadedImage image; // open(): the picture to convert, when it is no one-bit BMP
    QString error;     // why the file cannot be used, as read after "NAME cannot be used: "

    bool ok() const { return error.isEmpty(); }
    bool toConvert() const { return ok() && width == 0; }

    // Reads `path`: a one-bit BMP into `pages`, any other picture into `image`.
    static PictureFile open(const QString& path);
    // Reads `path` into the screen's page bytes: a one-bit BMP as it is when `options` are the
    // defaults; any other picture, and every picture given options, converted by them.
    static PictureFile load(const QString& path, const ConversionOptions& options);
    // As load(), for a file already read (from standard input).
    static PictureFile loadData(const QByteArray& bytes, const ConversionOptions& options);

    // The upload's bytes as they go on the line, packed as the window's "Send" packs a picture
    // opened first after start: page by page, `width` columns each, the rest of the screen lit.
    protocol::Screen screen() const;
};
