#include "system/BoardAnnouncement.h"

#include "system/AnnouncedBoards.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

BoardAnnouncement::~BoardAnnouncement() {
    withdraw();
}

bool BoardAnnouncement::makePrivateFolder(const QString& path) {
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
        error_ = QStringLiteral("cannot make %1: %2").arg(path, systemError());
        return false;
    }
    if (!AnnouncedBoards::isPrivateFolder(path)) {
        error_ = QStringLiteral("%1 is not a private folder of this user").arg(path);
        return false;
    }
    return true;
}

bool BoardAnnouncement::announce(const QString& folder, const QString& device) {
    withdraw();
    const QString parent = QDir::cleanPath(folder + QStringLiteral("/.."));
    if (!makePrivateFolder(parent) || !makePrivateFolder(folder))
        return false;
    const QString link = QDir(folder).filePath(QString::number(::getpid()));
    const QByteArray linkName = QFile::encodeName(link);
    const QByteArray target = QFile::encodeName(device);
    // A link left with this process id belongs to an ended process: ours replaces it.
    struct stat status {};
    if (::lstat(linkName.constData(), &status) == 0 && S_ISLNK(status.st_mode))
        ::unlink(linkName.constData());
    if (::symlink(target.constData(), linkName.constData()) != 0) {
        error_ = QStringLiteral("cannot make %1: %2").arg(link, systemError());
        return false;
    }
    link_ = link;
    device_ = device;
    return true;
}

void BoardAnnouncement::withdraw() {
    if (link_.isEmpty())
        return;
    if (QFile::symLinkTarget(link_) == device_)
        ::unlink(QFile::encodeName(link_).constData());
    link_.clear();
}
