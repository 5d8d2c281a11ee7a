#include "serial/PortWatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <QTimer>

namespace {

// The folder itself, or the nearest parent that exists: a folder made later shows up as a
// change of its parent.
QString nearestExistingFolder(QString path) {
    path = QDir::cleanPath(QDir(path).absolutePath());
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            return {};
        path = parent;
    }
    return path;
}

} // namespace

PortWatcher::PortWatcher(PortMap::System system, QObject* parent)
    : QObject(parent), system_(std::move(system)), watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this)) {
    setObjectName(QStringLiteral("PortWatcher"));
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, &PortWatcher::rescan);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &PortWatcher::onFolderChanged);
    // Watching first: a change made while the list is read is then not missed.
    watch(PortMap::watchedDirectories(system_));
    ports_ = PortMap::fromSystem(system_).entries();
}

QStringList PortWatcher::watchedFolders() const {
    return watcher_->directories();
}

void PortWatcher::onFolderChanged() {
    // Not restarted by later changes: a busy /dev must not hold the list back.
    if (!settle_->isActive())
        settle_->start();
}

void PortWatcher::rescan() {
    settle_->stop();
    // Folders come and go (serial/by-id appears with the first adapter): watch them anew,
    // before reading, so that a change made while reading is not missed.
    watch(PortMap::watchedDirectories(system_));
    QList<PortEntry> ports = PortMap::fromSystem(system_).entries();
    if (ports == ports_)
        return;
    ports_ = std::move(ports);
    emit portsChanged();
}

void PortWatcher::watch(const QStringList& folders) {
    QSet<QString> wanted;
    for (const QString& folder : folders) {
        const QString existing = nearestExistingFolder(folder);
        if (!existing.isEmpty())
            wanted.insert(existing);
    }
    const QStringList watched = watcher_->directories();
    QStringList gone;
    for (const QString& folder : watched)
        if (!wanted.contains(folder))
            gone << folder;
    if (!gone.isEmpty())
        watcher_->removePaths(gone);
    QStringList added;
    for (const QString& folder : std::as_const(wanted))
        if (!watched.contains(folder))
            added << folder;
    if (!added.isEmpty())
        watcher_->addPaths(added);
}
