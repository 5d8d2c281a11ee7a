#include "transport/PortFactory.h"

#include "serial/PortUrl.h"
#include "transport/QtSerialPort.h"
#include "transport/Rfc2217Port.h"
#include "transport/TcpPort.h"

namespace transport {

std::unique_ptr<SerialPort> makePort(const PortMap& portMap, int portNumber) {
    std::unique_ptr<SerialPort> port;
    const QString name = portMap.devicePath(portNumber);
    const auto url = PortUrl::parse(name);
    if (url && url->scheme == PortUrl::Scheme::Rfc2217)
        port = std::make_unique<Rfc2217Port>(portMap);
    else if (PortUrl::isNetworkName(name))
        port = std::make_unique<TcpPort>(portMap); // socket://, or a name it explains is wrong
    else
        // The local device also speaks for a number without a device: its message names the
        // VANTREL_COM<n> variable to set.
        port = std::make_unique<QtSerialPort>(portMap);
    port->setCommPort(portNumber);
    return port;
}

} // namespace transport
