#include "ctl/LoadedPicture.h"

namespace ctl {

LoadedPicture loadPicture(const QString& path, const PictureOptions& options) {
    LoadedPicture picture = PictureFile::load(path, options);
    if (!picture.ok())
        picture.error = QStringLiteral("%1 cannot be used: %2").arg(path, picture.error);
    return picture;
}

} // namespace ctl
