#pragma once
// The picture of `picture FILE`, read before anything is sent as the window's "Open" reads it:
// its page bytes, or why it cannot be shown.

#include "ctl/PictureOptions.h"
#include "picture/PictureFile.h"

#include <QString>

namespace ctl {

using LoadedPicture = PictureFile;

// PictureFile::load, its error starting with the path as the command line's messages do.
LoadedPicture loadPicture(const QString& path, const PictureOptions& options);

} // namespace ctl
