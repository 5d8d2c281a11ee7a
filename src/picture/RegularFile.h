#pragma once
// Opens a picture file for reading only when it is a regular file. A named pipe, a device or a
// socket chosen in the file dialog would block the window on open or read, or have side effects
// (a serial device raises its lines when opened): such paths are refused from their file status
// alone, without opening them, and a file swapped for one between the look and the open is
// caught without blocking.

#include <QString>

class QFile;

class RegularFile {
public:
    // Opens `path` read-only into `file` (which must be closed). On failure `file` stays closed
    // and the result says why, as the user reads it after "The file NAME cannot be used: ";
    // empty on success.
    static QString open(const QString& path, QFile& file);
};
