#pragma once
// Which device stands behind port number n (1..16) on this system.
//
// VANTREL_COM<n> names the device for port n explicitly (virtual boards, pseudo-terminal pairs),
// or a port on another machine (rfc2217://HOST:PORT, socket://HOST:PORT), which is listed as
// named without resolving or connecting anything.
// The remaining numbers, in ascending order, go to the system's serial devices: USB adapters
// (ttyUSB*), then CDC-ACM devices (ttyACM*), then the others grouped by name (ttyAMA*, ttyS*, ...),
// each family by its numeric index (ttyUSB2 before ttyUSB10). A device that a VANTREL_COM<n> names,
// directly or through a link such as its by-id name, is listed under that number only. A number
// is listed when its device path exists; nothing is ever opened to find out.
// Virtual boards that announce themselves in the user's runtime folder (AnnouncedBoards) come
// last, in the order they started; one that a VANTREL_COM<n> already names is listed once, under
// that number.
//
// A map read from a system (fromSystem) can be read again with refresh(). Its copies share one
// table, so that the serial port, which holds a copy, opens the device the port list shows:
// the list refreshes the map only while no port is open.

#include "serial/PortEntry.h"

#include <QList>
#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class PortMap {
public:
    using ExistsFn = std::function<bool(const QString& devicePath)>;

    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 16;

    // Where a system's serial devices are read from; tests point it at a folder.
    struct System {
        QString ttyClassDir = QStringLiteral("/sys/class/tty");
        QString deviceDir = QStringLiteral("/dev");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    };

    PortMap();
    // An explicit table, port number -> device path (tests inject one). Without `exists`, a
    // path exists when the file system has it.
    explicit PortMap(QMap<int, QString> devices, ExistsFn exists = {});

    // The mapping built from VANTREL_COM<n>, the given system device paths (any order) and
    // the announced virtual boards (their announcement links, in order).
    static PortMap build(const QProcessEnvironment& environment, const QStringList& systemDevices,
                         ExistsFn exists, const QStringList& boardLinks = {});
    // The mapping of this machine: the process environment and the serial devices in sysfs
    // (QSerialPortInfo where there is no sysfs).
    static PortMap fromSystem();
    // The mapping of `system`: VANTREL_COM<n> from its environment, the devices of its tty class
    // folder as paths under its device folder, the virtual boards announced in the folder its
    // environment's XDG_RUNTIME_DIR (or TMPDIR) gives.
    static PortMap fromSystem(const System& system);

    // Reads the system again, for this map and all its copies. A map made from an explicit
    // table stays as it is.
    void refresh();
    // The system the map was read from; none for an explicit table.
    const std::optional<System>& system() const { return system_; }

    // The serial devices the kernel lists under `ttyClassDir` (/sys/class/tty): every tty backed
    // by a device, except serial-core ports with no UART behind them (type 0), as paths under
    // `deviceDir`. Reads attributes only; no device is opened (QSerialPortInfo opens legacy
    // 8250 ports to test them, which fails for a port another program holds).
    static QStringList
    sysfsSerialDevices(const QString& ttyClassDir = QStringLiteral("/sys/class/tty"),
                       const QString& deviceDir = QStringLiteral("/dev"));

    QString devicePath(int portNumber) const; // empty when the number has no device
    QList<int> existingPorts() const;         // numbers 1..16 whose device exists, ascending
    // The port list: one entry per existing port, ascending, with what the system knows about
    // each device (by-id name, USB product and serial number from sysfs).
    QList<PortEntry> entries() const;
    // Folders whose changes can change the entries of `system`: the device folder, its
    // serial/by-id, the boards' announcement folder and their pseudo-terminals' folder, and the
    // folders of each VANTREL_COM<n> path and of what it links to. Some may not exist yet.
    static QStringList watchedDirectories(const System& system);
    // Why no port can be chosen, for the user: names each VANTREL_COM<n> whose device is
    // missing, or says how to name one when none is set.
    QString noPortDescription() const;

private:
    struct Table {
        QMap<int, QString> devices;
        QMap<int, QString> named; // the numbers VANTREL_COM<n> set, and their paths
        QStringList boardDevices; // the pseudo-terminals of the announced virtual boards
    };
    bool exists(const QString& path) const;

    std::shared_ptr<Table> table_;
    ExistsFn exists_;
    std::optional<System> system_;
};
