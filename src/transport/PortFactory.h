#pragma once
// Makes the transport a port's name asks for, by the scheme of the name: rfc2217://HOST:PORT is
// Rfc2217Port, socket://HOST:PORT is TcpPort, and a device path ("/dev/ttyUSB0", "/dev/pts/4")
// is a local serial device on QSerialPort.

#include "serial/PortMap.h"
#include "serial/SerialPort.h"

#include <QString>
#include <memory>

namespace transport {

// The transport for port `portNumber` of `portMap`, closed, with its number set.
std::unique_ptr<SerialPort> makePort(const PortMap& portMap, int portNumber);

} // namespace transport
