#pragma once
// The picture of `picture FILE`, read before anything is sent: its page bytes, or why it cannot
// be shown.

#include "ctl/PictureOptions.h"
#include "engine/SessionTypes.h"
#include "picture/PageBytes.h"

#include <QString>

namespace ctl {

struct LoadedPicture {
    PageBytes pages;
    int width = 0;     // columns of `pages` in use
    int pageCount = 0; // pages of `pages` in use
    QString error;     // why the file cannot be shown; empty when it can

    bool ok() const { return error.isEmpty(); }
    // The 2,560 bytes of the upload as they go on the line, packed exactly as the window's
    // "Send" packs a picture opened first after start: page by page, `width` columns each, the
    // rest of the screen lit.
    engine::Screen screen() const;
};

LoadedPicture loadPicture(const QString& path, const PictureOptions& options);

} // namespace ctl
