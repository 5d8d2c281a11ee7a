#include "ctl/LoadedPicture.h"

#include "ctl/CommandParser.h"
#include "ctl/FileError.h"
#include "picture/ImageLoader.h"

namespace ctl {

LoadedPicture loadPicture(const QString& path, const PictureOptions& options,
                          CommandParser& parser) {
    LoadedPicture picture;
    if (path == QStringLiteral("-")) {
        const ScriptBytes input =
            parser.readStandardInput(ImageLoader::kMaxFileBytes, QStringLiteral("a picture file"));
        if (!input.ok()) {
            picture.error = input.error;
            return picture;
        }
        picture = PictureFile::loadData(input.bytes, options);
    } else {
        picture = PictureFile::load(path, options);
    }
    if (!picture.ok())
        picture.error = FileError::fromPicture(FileError::shown(path), picture.error);
    return picture;
}

} // namespace ctl
