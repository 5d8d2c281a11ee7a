#include "transport/RoutedPort.h"

#include "transport/PortFactory.h"

namespace transport {

RoutedPort::RoutedPort(PortMap portMap, QObject* parent)
    : SerialPort(parent), portMap_(std::move(portMap)) {}

RoutedPort::~RoutedPort() = default;

OpenResult RoutedPort::openPort() {
    if (portOpen())
        return transport_->openPort(); // says that it is open already
    transport_ = makePort(portMap_, portNumber_);
    transport_->setSettings(settings_);
    connect(transport_.get(), &SerialPort::portLost, this, &SerialPort::portLost);
    connect(transport_.get(), &SerialPort::openFinished, this, &SerialPort::openFinished);
    return transport_->openPort();
}

void RoutedPort::closePort() {
    if (transport_)
        transport_->closePort();
}

bool RoutedPort::portOpen() const {
    return transport_ && transport_->portOpen();
}

bool RoutedPort::output(const QByteArray& bytes) {
    return transport_ && transport_->output(bytes);
}

QByteArray RoutedPort::input() {
    return transport_ ? transport_->input() : QByteArray();
}

qint64 RoutedPort::bytesToWrite() const {
    return transport_ ? transport_->bytesToWrite() : 0;
}

QString RoutedPort::rateChangeRefusal() const {
    return transport_ ? transport_->rateChangeRefusal() : QString();
}

} // namespace transport
