#include "transport/TcpPort.h"

#include <QTcpSocket>
#include <algorithm>

namespace transport {

namespace {

// What the server sent before the port opened is kept this far, to quote it in a message.
constexpr qsizetype kGreetingKept = 200;
// While the server holds the data, look again this often.
constexpr int kHeldRetryMs = 10;

QString causeOf(QAbstractSocket::SocketError error, const QString& systemText) {
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("the host name is not known");
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("the connection was refused (is the server running, on this port?)");
    case QAbstractSocket::RemoteHostClosedError:
        return QStringLiteral("the server closed the connection");
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("no answer within %1 s").arg(TcpPort::kOpenTimeoutMs / 1000);
    default:
        return systemText;
    }
}

PortError errorOf(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        return PortError::DeviceNotFound;
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::RemoteHostClosedError:
        return PortError::Resource;
    case QAbstractSocket::SocketAccessError:
        return PortError::Permission;
    case QAbstractSocket::SocketTimeoutError:
        return PortError::Timeout;
    default:
        return PortError::Unknown;
    }
}

} // namespace

TcpPort::TcpPort(PortMap portMap, QObject* parent)
    : SerialPort(parent), portMap_(std::move(portMap)), socket_(new QTcpSocket(this)) {
    openDeadline_.setSingleShot(true);
    greetingTimer_.setSingleShot(true);
    pumpTimer_.setSingleShot(true);
    pumpTimer_.setTimerType(Qt::PreciseTimer);
    connect(&openDeadline_, &QTimer::timeout, this, &TcpPort::openingTimedOut);
    connect(&greetingTimer_, &QTimer::timeout, this, &TcpPort::finishOpening);
    connect(&pumpTimer_, &QTimer::timeout, this, &TcpPort::pump);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        if (phase_ != Phase::Connecting)
            return;
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1); // small messages at once
        phase_ = Phase::Handshake;
        startHandshake();
    });
    connect(socket_, &QTcpSocket::readyRead, this, &TcpPort::onReadyRead);
    connect(socket_, &QTcpSocket::errorOccurred, this, &TcpPort::onSocketError);
    connect(socket_, &QTcpSocket::disconnected, this, &TcpPort::onDisconnected);
    clock_.start();
}

TcpPort::~TcpPort() {
    release();
}

OpenResult TcpPort::openPort() {
    const QString name = portMap_.devicePath(portNumber_);
    if (phase_ != Phase::Closed)
        return {false, PortError::Open, QStringLiteral("%1 is already open.").arg(name)};
    url_ = PortUrl::parse(name);
    if (!url_)
        return {false, PortError::DeviceNotFound, PortUrl::problem(name)};
    if (!settings_.boardRuns())
        return {false, PortError::UnsupportedOperation,
                QStringLiteral("%1 cannot be opened with the line settings \"%2\".")
                    .arg(name, settings_.text())};
    release();
    phase_ = Phase::Connecting;
    ++openingSerial_;
    openDeadline_.start(kOpenTimeoutMs);
    socket_->connectToHost(url_->host, url_->port);
    OpenResult pending;
    pending.pending = true;
    return pending;
}

void TcpPort::startHandshake() {
    greetingTimer_.start(kGreetingMs);
}

void TcpPort::openingTimedOut() {
    if (phase_ != Phase::Connecting && phase_ != Phase::Handshake)
        return;
    const QString cause = socket_->state() == QAbstractSocket::HostLookupState
                              ? QStringLiteral("the host name could not be looked up within %1 s")
                                    .arg(kOpenTimeoutMs / 1000)
                              : causeOf(QAbstractSocket::SocketTimeoutError, QString());
    failOpening(PortError::Timeout,
                QStringLiteral("Cannot connect to %1: %2.").arg(url_->hostAndPort(), cause));
}

void TcpPort::finishOpening() {
    if (phase_ != Phase::Handshake || ending_)
        return;
    openDeadline_.stop();
    greetingTimer_.stop();
    phase_ = Phase::Open;
    report({true, PortError::None, {}});
}

void TcpPort::failOpening(PortError error, const QString& description) {
    if (phase_ != Phase::Connecting && phase_ != Phase::Handshake)
        return;
    release(); // aborts: nothing queued goes out
    report({false, error, description});
}

// Told after the current event, so that a failure found inside openPort() still comes after
// its pending result; an opening given up meanwhile is not told.
void TcpPort::report(const OpenResult& result) {
    QMetaObject::invokeMethod(
        this,
        [this, result, serial = openingSerial_] {
            if (serial == openingSerial_)
                emit openFinished(result);
        },
        Qt::QueuedConnection);
}

void TcpPort::closePort() {
    if (phase_ == Phase::Open && !queue_.isEmpty()) {
        // The last messages (SetBaudRate before a change of rate) still go; the queue holds
        // at most about kAheadNs of line time once the session paces.
        socket_->write(toServer(queue_));
        queue_.clear();
    }
    if (phase_ == Phase::Open) {
        // Closed first: the socket may report its end at once, and that is no loss.
        phase_ = Phase::Closed;
        ++openingSerial_;
        pumpTimer_.stop();
        input_.clear();
        socket_->flush();
        socket_->disconnectFromHost(); // sends what the socket still holds, then closes
        return;
    }
    release();
}

void TcpPort::release() {
    ++openingSerial_;
    phase_ = Phase::Closed;
    openDeadline_.stop();
    greetingTimer_.stop();
    pumpTimer_.stop();
    socket_->abort();
    queue_.clear();
    input_.clear();
    greeting_.clear();
    remoteFreeNs_ = 0;
}

bool TcpPort::output(const QByteArray& bytes) {
    if (phase_ != Phase::Open)
        return false;
    if (queue_.size() + bytes.size() > kMaxQueuedBytes) {
        loseConnection(QStringLiteral("%1 takes no more data: %2 bytes wait to be sent.")
                           .arg(url_->hostAndPort())
                           .arg(queue_.size()));
        return false;
    }
    queue_ += bytes;
    pump();
    return phase_ == Phase::Open;
}

// Hands the socket what the remote line can carry within kAheadNs from now.
void TcpPort::pump() {
    const std::int64_t byteNs = settings_.frameNs();
    while (phase_ == Phase::Open && !queue_.isEmpty()) {
        if (holdsOutput()) {
            pumpTimer_.start(kHeldRetryMs);
            return;
        }
        const std::int64_t t = now();
        const std::int64_t backlogNs = std::max<std::int64_t>(0, remoteFreeNs_ - t);
        // An idle line always takes a byte, however slow the rate.
        const std::int64_t room = backlogNs == 0 ? std::max<std::int64_t>(1, kAheadNs / byteNs)
                                                 : (kAheadNs - backlogNs) / byteNs;
        if (room <= 0) {
            const std::int64_t waitNs = backlogNs - kAheadNs + byteNs;
            pumpTimer_.start(int(std::max<std::int64_t>(1, (waitNs + 999'999) / 1'000'000)));
            return;
        }
        const qsizetype count = qsizetype(std::min<std::int64_t>(room, queue_.size()));
        socket_->write(toServer(queue_.left(count)));
        queue_.remove(0, count);
        remoteFreeNs_ = std::max(remoteFreeNs_, t) + settings_.bytesNs(count);
    }
}

QByteArray TcpPort::input() {
    return std::exchange(input_, {});
}

qint64 TcpPort::bytesToWrite() const {
    if (phase_ != Phase::Open)
        return 0;
    const std::int64_t byteNs = settings_.frameNs();
    const std::int64_t backlogNs = std::max<std::int64_t>(0, remoteFreeNs_ - now());
    const qint64 onTheWay = qint64((backlogNs + byteNs - 1) / byteNs);
    return queue_.size() + std::max(onTheWay, socket_->bytesToWrite());
}

QString TcpPort::rateChangeRefusal() const {
    return QStringLiteral("the rate of a raw TCP port cannot be changed from here; use "
                          "rfc2217://");
}

void TcpPort::sendNow(const QByteArray& bytes) {
    if (!bytes.isEmpty() && phase_ != Phase::Closed)
        socket_->write(bytes);
}

QString TcpPort::greetingText() const {
    return QString::fromLatin1(greeting_).simplified();
}

void TcpPort::onReadyRead() {
    if (phase_ == Phase::Closed || phase_ == Phase::Connecting) {
        socket_->readAll();
        return;
    }
    const bool wasOpen = phase_ == Phase::Open;
    const QByteArray data = fromServer(socket_->readAll());
    if (!wasOpen) {
        // Before Identify: not the board's (a banner, a refusal in words).
        greeting_ = (greeting_ + data).right(kGreetingKept);
        return;
    }
    input_ += data;
    if (input_.size() > kMaxInputBytes)
        input_.remove(0, input_.size() - kMaxInputBytes); // the newest count
}

void TcpPort::onSocketError() {
    const QAbstractSocket::SocketError error = socket_->error();
    if (phase_ == Phase::Open) {
        loseConnection(QStringLiteral("%1: %2.").arg(url_->hostAndPort(),
                                                    causeOf(error, socket_->errorString())));
        return;
    }
    if (phase_ != Phase::Connecting && phase_ != Phase::Handshake)
        return;
    ending_ = true; // the server's last words, if any, are read for the message only
    onReadyRead();
    ending_ = false;
    QString cause = causeOf(error, socket_->errorString());
    if (error == QAbstractSocket::RemoteHostClosedError && !greetingText().isEmpty())
        cause += QStringLiteral(", saying \"%1\"").arg(greetingText());
    failOpening(errorOf(error), QStringLiteral("Cannot connect to %1: %2.")
                                    .arg(url_->hostAndPort(), cause));
}

void TcpPort::onDisconnected() {
    if (phase_ == Phase::Open)
        loseConnection(QStringLiteral("%1 closed the connection.").arg(url_->hostAndPort()));
    else if (phase_ == Phase::Handshake)
        onSocketError();
}

void TcpPort::loseConnection(const QString& reason) {
    if (phase_ != Phase::Open)
        return;
    const QString device = url_->text();
    release();
    emit portLost(device, reason);
}

} // namespace transport
