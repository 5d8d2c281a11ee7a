#include "serial/PortMap.h"

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

PortMap::PortMap(QMap<int, QString> devices, ExistsFn exists)
    : devices_(std::move(devices)), exists_(std::move(exists)) {}

PortMap PortMap::build(const QProcessEnvironment& environment, const QStringList& systemDevices,
                       ExistsFn exists) {
    QMap<int, QString> devices;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const QString path = environment.value(QStringLiteral("VANTREL_COM%1").arg(n)).trimmed();
        if (!path.isEmpty())
            devices.insert(n, path);
    }
    const QList<QString> named = devices.values();
    QStringList remaining;
    for (const QString& path : systemDevices)
        if (!path.isEmpty() && !named.contains(path) && !remaining.contains(path))
            remaining << path;
    std::sort(remaining.begin(), remaining.end(),
              [](const QString& a, const QString& b) { return keyOf(a) < keyOf(b); });
    int n = kFirstPort;
    for (const QString& path : remaining) {
        while (n <= kLastPort && devices.contains(n))
            ++n;
        if (n > kLastPort)
            break;
        devices.insert(n++, path);
    }
    PortMap map(devices, std::move(exists));
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const QString path = environment.value(QStringLiteral("VANTREL_COM%1").arg(n)).trimmed();
        if (!path.isEmpty())
            map.named_.insert(n, path);
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
    QStringList paths;
    if (QFileInfo(QStringLiteral("/sys/class/tty")).isDir()) {
        paths = sysfsSerialDevices();
    } else {
        const auto ports = QSerialPortInfo::availablePorts();
        for (const QSerialPortInfo& info : ports)
            paths << info.systemLocation();
    }
    return build(QProcessEnvironment::systemEnvironment(), paths, pathExists);
}

QString PortMap::devicePath(int n) const {
    return devices_.value(n);
}

QList<int> PortMap::existingPorts() const {
    QList<int> numbers;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const QString path = devices_.value(n);
        if (path.isEmpty())
            continue;
        if (exists_ ? exists_(path) : pathExists(path))
            numbers << n;
    }
    return numbers;
}

QString PortMap::noPortDescription() const {
    QStringList missing;
    for (auto it = named_.begin(); it != named_.end(); ++it)
        if (!(exists_ ? exists_(it.value()) : pathExists(it.value())))
            missing << QStringLiteral("VANTREL_COM%1 names %2, which does not exist")
                           .arg(it.key())
                           .arg(it.value());
    if (!missing.isEmpty())
        return QStringLiteral("No serial port is selected: %1.")
            .arg(missing.join(QStringLiteral("; ")));
    return QStringLiteral("No serial port is selected: none was found on this computer. Set "
                          "VANTREL_COM1 to a device path to use another device.");
}
