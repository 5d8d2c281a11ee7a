#pragma once
// The port the programs hand to the board session: at each opening it makes, through the
// factory, the transport that the name of the port number asks for, and passes every call on
// to it. So the session, the window and the command line know one port, whatever carries the
// bytes.

#include "serial/PortMap.h"
#include "serial/SerialPort.h"

#include <memory>

namespace transport {

class RoutedPort : public SerialPort {
    Q_OBJECT
public:
    explicit RoutedPort(PortMap portMap, QObject* parent = nullptr);
    ~RoutedPort() override;


    OpenResult openPort() override;
    void closePort() override;
    bool portOpen() const override;
    bool output(const QByteArray& bytes) override;
    QByteArray input() override;
    qint64 bytesToWrite() const override;
    QString rateChangeRefusal() const override;

    const PortMap& portMap() const { return portMap_; }

private:
    PortMap portMap_;
    std::unique_ptr<SerialPort> transport_;
};

} // namespace transport
