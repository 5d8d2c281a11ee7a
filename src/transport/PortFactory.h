#pragma once
// Makes the transport a port's name asks for. A device path ("/dev/ttyUSB0", "/dev/pts/4") is
// a local serial device on QSerialPort. Further transports plug in here, by the scheme of
// their name.

#include "serial/PortMap.h"
#include "serial/SerialPort.h"

#include <QString>
#include <memory>

namespace transport {

// The transport for port `portNumber` of `portMap`, closed, with its number set.
std::unique_ptr<SerialPort> makePort(const PortMap& portMap, int portNumber);

} // namespace transport
