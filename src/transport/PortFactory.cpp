#include "transport/PortFactory.h"

#include "transport/QtSerialPort.h"

namespace transport {

std::unique_ptr<SerialPort> makePort(const PortMap& portMap, int portNumber) {
    // The local device also speaks for a number without a device: its message names the
    // VANTREL_COM<n> variable to set.
    auto port = std::make_unique<QtSerialPort>(portMap);
    port->setCommPort(portNumber);
    return port;
}

} // namespace transport
