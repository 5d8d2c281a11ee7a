#pragma once
// Which device stands behind port number n (1..16) on this system.
//
// VANTREL_COM<n> names the device for port n explicitly (virtual boards, pseudo-terminal pairs).
// The remaining numbers, in ascending order, go to the system's serial devices: USB adapters
// (ttyUSB*), then CDC-ACM devices (ttyACM*), then the others, each family by its numeric index.
// A number is listed when its device path exists; nothing is ever opened to find out.

#include <QMap>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

class PortMap {
public:
    using ExistsFn = std::function<bool(const QString& devicePath)>;

    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 16;

    PortMap() = default;
    // An explicit table, port number -> device path (tests inject one).
    explicit PortMap(QMap<int, QString> devices, ExistsFn exists = {});

    // The mapping built from VANTREL_COM<n> and the given system device paths.
    static PortMap build(const QProcessEnvironment& environment, const QStringList& systemDevices,
                         ExistsFn exists);
    // The mapping of this machine: the process environment and QSerialPortInfo's ports.
    static PortMap fromSystem();

    QString devicePath(int portNumber) const;   // empty when the number has no device
    QList<int> existingPorts() const;           // numbers 1..16 whose device exists, ascending

private:
    QMap<int, QString> devices_;
    ExistsFn exists_;
};
