#include "ctl/ScriptFile.h"

#include "ctl/FileError.h"
#include "picture/RegularFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace ctl {

namespace {

QString tooLarge(const QString& shown) {
    return FileError::tooLarge(shown, ScriptFile::kMaxBytes, QStringLiteral("a command file"));
}

} // namespace

ScriptBytes ScriptFile::read(const QString& path) {
    ScriptBytes result;
    QFile file;
    const QString why = RegularFile::open(path, file);
    if (!why.isEmpty()) {
        result.error = FileError::fromPicture(path, why);
        return result;
    }
    result.bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        result.error = FileError::cannotRead(path, file.errorString());
    else if (result.bytes.size() > kMaxBytes)
        result.error = tooLarge(path);
    if (!result.ok())
        result.bytes.clear();
    return result;
}

ScriptBytes ScriptFile::readDescriptor(int fd, const QString& shown, qint64 maxBytes) {
    ScriptBytes result;
    constexpr qsizetype kChunk = 64 * 1024;
    while (result.bytes.size() <= maxBytes) {
        const qsizetype had = result.bytes.size();
        result.bytes.resize(had + kChunk);
        const ssize_t n = ::read(fd, result.bytes.data() + had, size_t(kChunk));
        const int error = errno;
        result.bytes.resize(had + std::max<qsizetype>(n, 0));
        if (n > 0)
            continue;
        if (n == 0) {
            result.bytes.squeeze();
            return result;
        }
        if (error == EINTR)
            continue;
        if (error == EAGAIN) { // a descriptor left non-blocking by whoever gave it
            pollfd readable{fd, POLLIN, 0};
            ::poll(&readable, 1, -1);
            continue;
        }
        result.error = FileError::cannotRead(shown, QString::fromLocal8Bit(std::strerror(error)));
        result.bytes.clear();
        return result;
    }
    result.error = FileError::cannotRead(shown, QStringLiteral("it is too large"));
    result.tooLarge = true;
    result.bytes.clear();
    return result;
}

} // namespace ctl
