#include "serial/PortMap.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>

namespace {

bool pathExists(const QString& path) { return QFileInfo::exists(path); }

// Sort key: family (USB adapters, CDC-ACM, others), then the numeric index at the end of the
// name, then the name itself.
struct DeviceKey {
    int family;
    qint64 index;
    QString name;
    bool operator<(const DeviceKey& o) const {
        if (family != o.family)
            return family < o.family;
        if (index != o.index)
            return index < o.index;
        return name < o.name;
    }
};

DeviceKey keyOf(const QString& path) {
    const QString name = path.section(u'/', -1);
    int family = 2;
    if (name.startsWith(QStringLiteral("ttyUSB")))
        family = 0;
    else if (name.startsWith(QStringLiteral("ttyACM")))
        family = 1;
    static const QRegularExpression trailingDigits(QStringLiteral("(\\d+)$"));
    const auto match = trailingDigits.match(name);
    qint64 index = match.hasMatch() ? match.captured(1).toLongLong() : -1;
    return {family, index, name};
}

} // namespace

PortMap::PortMap(QMap<int, QString> devices, ExistsFn exists)
    : devices_(std::move(devices)), exists_(std::move(exists)) {}

PortMap PortMap::build(const QProcessEnvironment& environment, const QStringList& systemDevices,
                       ExistsFn exists) {
    QMap<int, QString> devices;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const QString path = environment.value(QStringLiteral("VANTREL_COM%1").arg(n));
        if (!path.isEmpty())
            devices.insert(n, path);
    }
    QStringList remaining;
    for (const QString& path : systemDevices)
        if (!devices.values().contains(path) && !remaining.contains(path))
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
    return PortMap(devices, std::move(exists));
}

PortMap PortMap::fromSystem() {
    QStringList paths;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        paths << info.systemLocation();
    return build(QProcessEnvironment::systemEnvironment(), paths, pathExists);
}

QString PortMap::devicePath(int n) const { return devices_.value(n); }

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
