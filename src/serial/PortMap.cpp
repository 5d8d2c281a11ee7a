#include "serial/PortMap.h"

#include "serial/PortUrl.h"
#include "system/AnnouncedBoards.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>
#include <tuple>

namespace {

bool pathExists(const QString& path) {
    return QFileInfo::exists(path);
}

const QString kSysClassTty = QStringLiteral("/sys/class/tty");
const QString kDev = QStringLiteral("/dev");

// A sysfs attribute or similar small text file, trimmed; empty when unreadable.
QString readAttribute(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(256)).simplified();
}

// Where a path leads after following every link; the path itself when it leads nowhere. A
// network port's name is no path.
QString resolved(const QString& path) {
    if (PortUrl::isNetworkName(path))
        return path;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

// "ttyUSB0" for /dev/ttyUSB0, "pts/4" for /dev/pts/4; paths elsewhere stay whole.
QString shortName(const QString& path, const QString& deviceDir) {
    for (const QString& dir : {deviceDir, resolved(deviceDir), kDev}) {
        const QString prefix = dir.endsWith(u'/') ? dir : dir + u'/';
        if (path.startsWith(prefix) && path.size() > prefix.size())
            return path.mid(prefix.size());
    }
    return path;
}

// The USB device a tty belongs to, found by walking up from the tty's device folder in sysfs to
// the first folder with a product attribute (the interface's parent for ttyUSB and ttyACM).
struct UsbDevice {
    bool found = false;
    QString product;
    QString serial;
    QString vendorId;
    QString productId;
};

UsbDevice usbDeviceOf(const QString& ttyClassDir, const QString& ttyName) {
    UsbDevice usb;
    if (ttyClassDir.isEmpty() || ttyName.isEmpty())
        return usb;
    QString dir = QFileInfo(QDir(ttyClassDir).filePath(ttyName + QStringLiteral("/device")))
                      .canonicalFilePath();
    // port -> interface -> USB device is two steps; a few more allow for other drivers.
    for (int level = 0; level < 4 && !dir.isEmpty(); ++level) {
        if (QFileInfo(dir + QStringLiteral("/product")).isFile()) {
            usb.found = true;
            usb.product = readAttribute(dir + QStringLiteral("/product"));
            usb.serial = readAttribute(dir + QStringLiteral("/serial"));
            usb.vendorId = readAttribute(dir + QStringLiteral("/idVendor"));
            usb.productId = readAttribute(dir + QStringLiteral("/idProduct"));
            break;
        }
        const QString parent = QFileInfo(dir).path();
        if (parent == dir)
            break;
        dir = parent;
    }
    return usb;
}

// The links of <deviceDir>/serial/by-id by the device they lead to (the first name wins).
QMap<QString, QString> byIdLinks(const QString& deviceDir) {
    QMap<QString, QString> links;
    const QDir dir(QDir(deviceDir).filePath(QStringLiteral("serial/by-id")));
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const QString link = dir.filePath(name);
        const QString target = QFileInfo(link).canonicalFilePath();
        if (!target.isEmpty() && !links.contains(target))
            links.insert(target, link);
    }
    return links;
}

// Sort key: rank (USB adapters, CDC-ACM, others), the family name (the device name without its
// trailing number), the trailing number, then the whole name.
struct DeviceKey {
    int rank;
    QString family;
    qint64 index;
    QString name;
    bool operator<(const DeviceKey& o) const {
        return std::tie(rank, family, index, name) < std::tie(o.rank, o.family, o.index, o.name);
    }
};

DeviceKey keyOf(const QString& path) {
    const QString name = path.section(u'/', -1);
    static const QRegularExpression trailingDigits(QStringLiteral("^(.*?)(\\d+)$"));
    const auto match = trailingDigits.match(name);
    const QString family = match.hasMatch() ? match.captured(1) : name;
    const qint64 index = match.hasMatch() ? match.captured(2).left(18).toLongLong() : -1;
    int rank = 2;
    if (family == QStringLiteral("ttyUSB"))
        rank = 0;
    else if (family == QStringLiteral("ttyACM"))
        rank = 1;
    return {rank, family, index, name};
}

} // namespace

PortMap::PortMap() : table_(std::make_shared<Table>()) {}

PortMap::PortMap(QMap<int, QString> devices, ExistsFn exists)
    : table_(std::make_shared<Table>(Table{std::move(devices), {}, {}})),
      exists_(std::move(exists)) {}

bool PortMap::exists(const QString& path) const {
    // A network port is listed as named: its host is neither resolved nor asked.
    if (PortUrl::isNetworkName(path))
        return true;
    return exists_ ? exists_(path) : pathExists(path);
}

PortMap PortMap::build(const QProcessEnvironment& environment, const QStringList& systemDevices,
                       ExistsFn exists, const QStringList& boardLinks) {
    QMap<int, QString> devices;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const QString path = environment.value(QStringLiteral("VANTREL_COM%1").arg(n)).trimmed();
        if (!path.isEmpty())
            devices.insert(n, path);
    }
    // A system device that a VANTREL_COM<n> names, directly or through a link (a by-id name),
    // keeps that number only.
    QStringList named;
    for (const QString& path : std::as_const(devices))
        named << path << resolved(path);
    QStringList remaining;
    for (const QString& path : systemDevices)
        if (!path.isEmpty() && !named.contains(path) && !named.contains(resolved(path)) &&
            !remaining.contains(path))
            remaining << path;
    std::sort(remaining.begin(), remaining.end(),
              [](const QString& a, const QString& b) { return keyOf(a) < keyOf(b); });
    // The virtual boards after the devices of the machine.
    QStringList boardDevices;
    for (const QString& link : boardLinks) {
        const QString device = resolved(link);
        boardDevices << device;
        if (!named.contains(link) && !named.contains(device) && !remaining.contains(device))
            remaining << link;
    }
    int n = kFirstPort;
    for (const QString& path : remaining) {
        while (n <= kLastPort && devices.contains(n))
            ++n;
        if (n > kLastPort)
            break;
        devices.insert(n++, path);
    }
    PortMap map(devices, std::move(exists));
    map.table_->boardDevices = boardDevices;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const QString path = environment.value(QStringLiteral("VANTREL_COM%1").arg(n)).trimmed();
        if (!path.isEmpty())
            map.table_->named.insert(n, path);
    }
    return map;
}

QStringList PortMap::sysfsSerialDevices(const QString& ttyClassDir, const QString& deviceDir) {
    QStringList paths;
    const QDir classDir(ttyClassDir);
    const QStringList names =
        classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString& name : names) {
        const QString entry = classDir.filePath(name);
        // Virtual terminals, ptys and the console have no device behind them.
        if (!QFileInfo::exists(entry + QStringLiteral("/device")))
            continue;
        QFile type(entry + QStringLiteral("/type"));
        if (type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0")
            continue; // a serial-core port with no UART (PORT_UNKNOWN), e.g. unused ttyS slots
        paths << QDir(deviceDir).filePath(name);
    }
    return paths;
}

PortMap PortMap::fromSystem() {
    return fromSystem(System{});
}

PortMap PortMap::fromSystem(const System& system) {
    QStringList paths;
    if (QFileInfo(system.ttyClassDir).isDir()) {
        paths = sysfsSerialDevices(system.ttyClassDir, system.deviceDir);
    } else if (system.ttyClassDir == kSysClassTty) {
        const auto ports = QSerialPortInfo::availablePorts();
        for (const QSerialPortInfo& info : ports)
            paths << info.systemLocation();
    }
    QStringList boardLinks;
    const auto boards = AnnouncedBoards::live(AnnouncedBoards::folder(system.environment));
    for (const AnnouncedBoards::Board& board : boards)
        boardLinks << board.link;
    PortMap map = build(system.environment, paths, pathExists, boardLinks);
    map.system_ = system;
    return map;
}

void PortMap::refresh() {
    if (!system_)
        return;
    *table_ = *fromSystem(*system_).table_;
}

QString PortMap::devicePath(int n) const {
    return table_->devices.value(n);
}

QList<int> PortMap::existingPorts() const {
    QList<int> numbers;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const QString path = table_->devices.value(n);
        if (!path.isEmpty() && exists(path))
            numbers << n;
    }
    return numbers;
}

QList<PortEntry> PortMap::entries() const {
    // An explicit table names its devices and nothing more is looked up.
    const QString deviceDir = system_ ? system_->deviceDir : kDev;
    const QString ttyClassDir = system_ ? system_->ttyClassDir : QString();
    const QMap<QString, QString> byId = system_ ? byIdLinks(deviceDir) : QMap<QString, QString>();
    QList<PortEntry> list;
    for (int n : existingPorts()) {
        PortEntry entry;
        entry.number = n;
        entry.devicePath = table_->devices.value(n);
        if (PortUrl::isNetworkName(entry.devicePath)) {
            entry.resolvedPath = entry.deviceName = entry.stableId = entry.devicePath;
            list << entry;
            continue;
        }
        entry.resolvedPath = resolved(entry.devicePath);
        entry.deviceName = shortName(entry.resolvedPath, deviceDir);
        entry.virtualBoard = table_->boardDevices.contains(entry.resolvedPath);
        entry.byIdPath = byId.value(entry.resolvedPath);
        const UsbDevice usb = usbDeviceOf(ttyClassDir, QFileInfo(entry.resolvedPath).fileName());
        entry.product = usb.product;
        if (!entry.byIdPath.isEmpty())
            entry.stableId = entry.byIdPath;
        else if (usb.found && !usb.serial.isEmpty())
            entry.stableId =
                QStringLiteral("usb:%1:%2:%3").arg(usb.vendorId, usb.productId, usb.serial);
        else if (!usb.found)
            entry.stableId = entry.devicePath; // a fixed port, or a path the user named
        // A USB adapter with neither by-id name nor serial number cannot be told from another.
        list << entry;
    }
    return list;
}

QStringList PortMap::watchedDirectories(const System& system) {
    const QString boardsFolder = AnnouncedBoards::folder(system.environment);
    QStringList dirs{system.deviceDir,
                     QDir(system.deviceDir).filePath(QStringLiteral("serial/by-id")), boardsFolder};
    // A board that was killed leaves its link, but its pseudo-terminal goes.
    const auto boards = AnnouncedBoards::live(boardsFolder);
    for (const AnnouncedBoards::Board& board : boards)
        dirs << QFileInfo(board.device).absolutePath();
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const QString path =
            system.environment.value(QStringLiteral("VANTREL_COM%1").arg(n)).trimmed();
        if (path.isEmpty() || PortUrl::isNetworkName(path))
            continue;
        QFileInfo info(path);
        dirs << info.absolutePath();
        // A link may lead into another folder; so may the link it leads to.
        for (int hop = 0; hop < 8 && info.isSymLink(); ++hop) {
            info = QFileInfo(info.symLinkTarget());
            dirs << info.absolutePath();
        }
    }
    dirs.removeDuplicates();
    return dirs;
}

QString PortMap::noPortDescription() const {
    QStringList missing;
    for (auto it = table_->named.begin(); it != table_->named.end(); ++it)
        if (!exists(it.value()))
            missing << QStringLiteral("VANTREL_COM%1 names %2, which does not exist")
                           .arg(it.key())
                           .arg(it.value());
    if (!missing.isEmpty())
        return QStringLiteral("No serial port is selected: %1.")
            .arg(missing.join(QStringLiteral("; ")));
    return QStringLiteral("No serial port is selected: none was found on this computer. Set "
                          "VANTREL_COM1 to a device path to use another device.");
}
