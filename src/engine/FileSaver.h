#pragma once
// Writing a file the user named in a save dialog. Only a regular file is replaced, or a new one
// made: a folder, a named pipe, a device or a socket of that name is left as it is and the
// reason named, since replacing a FIFO or a device with a plain file, or writing into it (which
// may block, or reach hardware), is never what a "Save" means. The bytes go to a temporary file
// beside the target that replaces it at the end (QSaveFile), so a failed write leaves the old
// file whole.

#include <QByteArray>
#include <QString>

namespace engine {

class FileSaver {
public:
    // Why `path` may not be written, as the user reads it after "The file NAME cannot be
    // written: ", without a full stop: "it is a named pipe, not a file". Empty when it may.
    static QString refusal(const QString& path);
    // Writes `bytes` to `path`: empty on success, else the reason, worded as refusal().
    static QString save(const QString& path, const QByteArray& bytes);
};

} // namespace engine
