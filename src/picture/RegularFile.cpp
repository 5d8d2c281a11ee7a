#include "picture/RegularFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString cannotRead(const QString& why) {
    return QStringLiteral("it cannot be read (%1).").arg(why);
}

QString notAFile(mode_t mode) {
    QString kind = QStringLiteral("it is not a regular file");
    if (S_ISDIR(mode))
        kind = QStringLiteral("it is a folder");
    else if (S_ISFIFO(mode))
        kind = QStringLiteral("it is a named pipe");
    else if (S_ISCHR(mode))
        kind = QStringLiteral("it is a character device");
    else if (S_ISBLK(mode))
        kind = QStringLiteral("it is a block device");
    else if (S_ISSOCK(mode))
        kind = QStringLiteral("it is a socket");
    return cannotRead(kind + QStringLiteral(", not a file"));
}

QString systemError(int error) {
    return cannotRead(QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

QString RegularFile::open(const QString& path, QFile& file) {
    if (path.isEmpty())
        return systemError(ENOENT);
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0)
        return systemError(errno);
    if (!S_ISREG(status.st_mode))
        return notAFile(status.st_mode);

    // Non-blocking and without taking a terminal, in case the path was swapped meanwhile.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return systemError(errno);
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const QString why = S_ISREG(status.st_mode) ? systemError(errno) : notAFile(status.st_mode);
        ::close(fd);
        return why;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString why = cannotRead(file.errorString());
        ::close(fd);
        return why;
    }
    return {};
}
