#include "serial/QtSerialPort.h"

#include "protocol/BaudRates.h"

#include <QSerialPort>

// Minimal version; the full service (immediate hand-over, full buffers, hang-ups) replaces it.
QtSerialPort::QtSerialPort(PortMap portMap, QObject* parent)
    : SerialPort(parent), portMap_(std::move(portMap)), serial_(new QSerialPort(this)) {}

QtSerialPort::~QtSerialPort() = default;

OpenResult QtSerialPort::openPort() {
    const QString path = portMap_.devicePath(portNumber_);
    serial_->setPortName(path);
    serial_->setBaudRate(protocol::baudOfSettings(settings_).value_or(9600));
    if (!serial_->open(QIODevice::ReadWrite))
        return {false, int(serial_->error()), path + QStringLiteral(": ") + serial_->errorString()};
    return {true, 0, {}};
}

void QtSerialPort::closePort() { serial_->close(); }
bool QtSerialPort::portOpen() const { return serial_->isOpen(); }

bool QtSerialPort::output(const QByteArray& bytes) {
    serial_->write(bytes);
    serial_->flush();
    return true;
}

QByteArray QtSerialPort::input() { return serial_->readAll(); }
qint64 QtSerialPort::bytesToWrite() const { return serial_->bytesToWrite(); }
