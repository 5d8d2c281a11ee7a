#pragma once
// Tells when the system's serial ports change: an adapter plugged in or pulled, a by-id name
// made by udev, the device of a VANTREL_COM<n> coming or going.
//
// It watches folders (the device folder, serial/by-id, the folders of each VANTREL_COM<n> path
// and of what it links to; a folder that does not exist yet through its nearest existing
// parent) and, kSettleMs after the first change, reads the port list again through the
// PortMap. Nothing is polled and no device is opened: only folders, links and sysfs
// attributes are read.

#include "serial/PortEntry.h"
#include "serial/PortMap.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QFileSystemWatcher;
class QTimer;

class PortWatcher : public QObject {
    Q_OBJECT
public:
    // A plugged adapter makes several changes in quick succession (the device node, then the
    // by-id link); one reading after the last of them, still well within a second.
    static constexpr int kSettleMs = 200;

    explicit PortWatcher(PortMap::System system, QObject* parent = nullptr);

    // The port list as of the last reading.
    QList<PortEntry> ports() const { return ports_; }
    // The folders watched now.
    QStringList watchedFolders() const;

public slots:
    // Reads the port list now and emits portsChanged() when it differs from the last one.
    void rescan();

signals:
    void portsChanged();

private:
    void onFolderChanged();
    void watch(const QStringList& folders);

    PortMap::System system_;
    QFileSystemWatcher* watcher_;
    QTimer* settle_;
    QList<PortEntry> ports_;
};
