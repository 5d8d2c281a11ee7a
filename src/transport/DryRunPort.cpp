#include "transport/DryRunPort.h"

#include "protocol/Messages.h"

namespace transport {

DryRunPort::DryRunPort(Sink sink, QObject* parent) : SerialPort(parent), sink_(std::move(sink)) {}

OpenResult DryRunPort::openPort() {
    open_ = true;
    answer_.clear();
    return {true, PortError::None, {}};
}

void DryRunPort::closePort() {
    open_ = false;
    answer_.clear();
}

bool DryRunPort::output(const QByteArray& bytes) {
    if (!open_)
        return false;
    sink_(bytes);
    if (bytes == protocol::identify())
        answer_ += kIdentifyAnswer;
    return true;
}

QByteArray DryRunPort::input() {
    return std::exchange(answer_, {});
}

} // namespace transport
