#pragma once
// A folder standing in for /sys/class/tty and /dev, with USB adapters that can be plugged in
// and pulled, laid out as the kernel and udev lay them out:
//
//   sys/devices/usb1/<name>-dev/             product, serial, idVendor, idProduct
//   sys/devices/usb1/<name>-dev/<name>:1.0/<name>/    the port (no product here)
//   sys/class/tty/<name>/device -> that port
//   dev/<name>                               the device node (a plain file)
//   dev/serial/by-id/<byId> -> ../../<name>
//
// Every device node is watched for being opened (inotify IN_OPEN): deviceOpens() counts how
// often any was, so that a test can show that listing ports opens none.
//
// An adapter is written "name|product|serial|byId" ("ttyUSB0|FT232R USB UART|A50285BI|usb-FTDI_
// A50285BI-if00-port0"); empty fields are left out of sysfs and /dev/serial/by-id. "ttyS0" alone
// (no '|') is a built-in UART: a class entry with a device and type 4, no USB device.

#include "serial/PortMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/inotify.h>
#include <unistd.h>

class FakePortSystem {
public:
    FakePortSystem() : inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        QDir(root()).mkpath(QStringLiteral("sys/class/tty"));
        QDir(root()).mkpath(QStringLiteral("dev"));
    }
    ~FakePortSystem() {
        if (inotify_ >= 0)
            ::close(inotify_);
    }
    FakePortSystem(const FakePortSystem&) = delete;
    FakePortSystem& operator=(const FakePortSystem&) = delete;

    bool isValid() const { return dir_.isValid() && inotify_ >= 0; }
    QString root() const { return dir_.path(); }
    QString ttyClassDir() const { return root() + QStringLiteral("/sys/class/tty"); }
    QString deviceDir() const { return root() + QStringLiteral("/dev"); }
    QString byIdDir() const { return deviceDir() + QStringLiteral("/serial/by-id"); }

    // "<root>" and "<dev>" in `text` replaced by the folders.
    QString expand(QString text) const {
        return text.replace(QStringLiteral("<root>"), root())
            .replace(QStringLiteral("<dev>"), deviceDir());
    }

    // This system, with "VAR=value" assignments (placeholders expanded) as its environment.
    PortMap::System system(const QStringList& environment = {}) const {
        PortMap::System s;
        s.ttyClassDir = ttyClassDir();
        s.deviceDir = deviceDir();
        s.environment = QProcessEnvironment();
        // Its own runtime folder: no virtual board of the machine's user appears.
        s.environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root());
        for (const QString& assignment : environment)
            s.environment.insert(assignment.section(u'=', 0, 0),
                                 expand(assignment.section(u'=', 1)));
        return s;
    }

    static QString nameOf(const QString& adapter) { return adapter.section(u'|', 0, 0); }

    bool plug(const QString& adapter) {
        const QStringList f = adapter.split(u'|');
        const QString name = f.value(0);
        const QString classEntry = ttyClassDir() + u'/' + name;
        if (!QDir().mkpath(classEntry))
            return false;
        if (f.size() == 1) { // a built-in UART
            if (!QDir().mkpath(classEntry + QStringLiteral("/device")) ||
                !write(classEntry + QStringLiteral("/type"), "4\n"))
                return false;
        } else {
            const QString usb =
                root() + QStringLiteral("/sys/devices/usb1/") + name + QStringLiteral("-dev");
            const QString port = usb + u'/' + name + QStringLiteral(":1.0/") + name;
            if (!QDir().mkpath(port) ||
                !QFile::link(port, classEntry + QStringLiteral("/device")) ||
                !write(usb + QStringLiteral("/idVendor"), "0403\n") ||
                !write(usb + QStringLiteral("/idProduct"), "6001\n"))
                return false;
            if (!f.value(1).isEmpty() &&
                !write(usb + QStringLiteral("/product"), f.value(1).toUtf8() + '\n'))
                return false;
            if (f.value(1).isEmpty() && !write(usb + QStringLiteral("/product"), QByteArray()))
                return false;
            if (!f.value(2).isEmpty() &&
                !write(usb + QStringLiteral("/serial"), f.value(2).toUtf8() + '\n'))
                return false;
            if (!f.value(3).isEmpty() &&
                (!QDir().mkpath(byIdDir()) ||
                 !QFile::link(QStringLiteral("../../") + name, byIdDir() + u'/' + f.value(3))))
                return false;
        }
        const QString node = deviceDir() + u'/' + name;
        if (!write(node, QByteArray()))
            return false;
        return ::inotify_add_watch(inotify_, QFile::encodeName(node).constData(), IN_OPEN) >= 0;
    }

    // The adapter's node, class entry, USB device and by-id links go.
    bool unplug(const QString& name) {
        bool ok = QFile::remove(deviceDir() + u'/' + name);
        ok = QDir(ttyClassDir() + u'/' + name).removeRecursively() && ok;
        QDir(root() + QStringLiteral("/sys/devices/usb1/") + name + QStringLiteral("-dev"))
            .removeRecursively();
        const QDir byId(byIdDir());
        for (const QString& link : byId.entryList(QDir::System | QDir::NoDotAndDotDot))
            if (QFileInfo(byId.filePath(link)).symLinkTarget() == deviceDir() + u'/' + name)
                ok = QFile::remove(byId.filePath(link)) && ok;
        return ok;
    }

    // How often a device node was opened since the last call.
    int deviceOpens() {
        int opens = 0;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
            if (n <= 0)
                return opens;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->mask & IN_OPEN)
                    ++opens;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

    static bool write(const QString& path, const QByteArray& content) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }

private:
    QTemporaryDir dir_;
    int inotify_;
};
