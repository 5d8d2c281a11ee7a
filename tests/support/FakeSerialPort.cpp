#include "support/FakeSerialPort.h"

OpenResult FakeSerialPort::openPort() {
    if (nextOpenFailure_) {
        OpenResult failure = *nextOpenFailure_;
        nextOpenFailure_.reset();
        return failure;
    }
    ++openCount;
    received_.clear();
    if (opensInBackground) {
        opening_ = true;
        OpenResult pending;
        pending.pending = true;
        return pending;
    }
    open_ = true;
    return {true, PortError::None, {}};
}

void FakeSerialPort::finishOpening(const OpenResult& result) {
    opening_ = false;
    open_ = result.ok;
    emit openFinished(result);
}

void FakeSerialPort::closePort() {
    if (open_)
        ++closeCount;
    open_ = false;
    opening_ = false;
    received_.clear();
}

bool FakeSerialPort::output(const QByteArray& bytes) {
    if (!open_)
        return false;
    if (!writeFailure_.isEmpty()) {
        open_ = false;
        emit portLost(QStringLiteral("/dev/fake%1").arg(portNumber_), writeFailure_);
        return false;
    }
    writes.append(bytes);
    writeSettings.append(settings_.text());
    return true;
}

QByteArray FakeSerialPort::input() {
    ++inputCount;
    QByteArray bytes = received_;
    received_.clear();
    return bytes;
}

void FakeSerialPort::failNextOpen(PortError error, const QString& description) {
    nextOpenFailure_ = OpenResult{false, error, description};
}

void FakeSerialPort::failWrites(const QString& reason) {
    writeFailure_ = reason;
}

void FakeSerialPort::loseDevice(const QString& reason) {
    if (!open_)
        return;
    open_ = false;
    emit portLost(QStringLiteral("/dev/fake%1").arg(portNumber_), reason);
}

QByteArray FakeSerialPort::allWritten() const {
    QByteArray all;
    for (const QByteArray& w : writes)
        all += w;
    return all;
}
