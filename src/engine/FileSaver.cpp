#include "engine/FileSaver.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace engine {

QString FileSaver::refusal(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        // A new name is fine; a folder that is missing or closed is named by the write.
        return errno == ENOENT || errno == EACCES ? QString()
                                                  : QString::fromLocal8Bit(std::strerror(errno));
    const mode_t mode = status.st_mode;
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a named pipe, not a file");
    if (S_ISCHR(mode))
        return QStringLiteral("it is a character device, not a file");
    if (S_ISBLK(mode))
        return QStringLiteral("it is a block device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a file");
    return QStringLiteral("it is not a regular file");
}

QString FileSaver::save(const QString& path, const QByteArray& bytes) {
    if (const QString why = refusal(path); !why.isEmpty())
        return why;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return {};
}

} // namespace engine
