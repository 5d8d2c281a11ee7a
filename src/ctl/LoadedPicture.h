#pragma once
// The picture of `picture FILE`, read before anything is sent as the window's "Open" reads it:
// its page bytes, or why it cannot be shown. FILE "-" is standard input.

#include "ctl/PictureOptions.h"
#include "picture/PictureFile.h"

#include <QString>

namespace ctl {

class CommandParser;

using LoadedPicture = PictureFile;

// PictureFile::load, or loadData of standard input (read through `parser`, with the limit of a
// picture file), its error worded as the command line's messages are.
LoadedPicture loadPicture(const QString& path, const PictureOptions& options,
                          CommandParser& parser);

} // namespace ctl
