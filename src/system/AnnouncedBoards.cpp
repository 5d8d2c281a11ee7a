#include "system/AnnouncedBoards.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// Unix 98 pseudo-terminal slaves have major numbers 136 to 143 on Linux.
constexpr unsigned kFirstPtyMajor = 136;
constexpr unsigned kLastPtyMajor = 143;

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// A process id that is gone, or that now belongs to another user's process.
bool processEnded(qint64 processId) {
    return ::kill(pid_t(processId), 0) != 0;
}

} // namespace

QString AnnouncedBoards::folder(const QProcessEnvironment& environment) {
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (QDir::isAbsolutePath(runtime))
        return QDir(runtime).filePath(QStringLiteral("vantrel/boards"));
    QString temporary = environment.value(QStringLiteral("TMPDIR"));
    if (!QDir::isAbsolutePath(temporary))
        temporary = QStringLiteral("/tmp");
    return QDir(temporary).filePath(QStringLiteral("vantrel-%1/boards").arg(::getuid()));
}

bool AnnouncedBoards::isPrivateFolder(const QString& path) {
    struct stat status {};
    return ::lstat(encoded(path).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid() && (status.st_mode & 077) == 0;
}

bool AnnouncedBoards::isPseudoTerminal(const QString& path) {
    struct stat status {};
    if (!QDir::isAbsolutePath(path) || ::stat(encoded(path).constData(), &status) != 0 ||
        !S_ISCHR(status.st_mode))
        return false;
    const unsigned major = ::major(status.st_rdev);
    return major >= kFirstPtyMajor && major <= kLastPtyMajor;
}

QList<AnnouncedBoards::Board> AnnouncedBoards::live(const QString& folder) {
    QList<Board> boards;
    const QString parent = QDir::cleanPath(folder + QStringLiteral("/.."));
    if (!isPrivateFolder(parent) || !isPrivateFolder(folder))
        return boards;
    // Seven digits hold every process id Linux gives (at most 2^22).
    static const QRegularExpression processIdName(QStringLiteral("^[1-9][0-9]{0,6}$"));
    const QDir dir(folder);
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!processIdName.match(name).hasMatch())
            continue;
        Board board{name.toLongLong(), dir.filePath(name), {}};
        struct stat status {};
        if (::lstat(encoded(board.link).constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            continue;
        if (processEnded(board.processId)) {
            ::unlink(encoded(board.link).constData());
            continue;
        }
        board.device = QFile::symLinkTarget(board.link);
        if (isPseudoTerminal(board.device))
            boards << board;
    }
    std::sort(boards.begin(), boards.end(),
              [](const Board& a, const Board& b) { return a.processId < b.processId; });
    return boards;
}
