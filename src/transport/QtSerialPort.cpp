#include "transport/QtSerialPort.h"

#include "protocol/LineSettings.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

// The numbers shown for a failure are QSerialPort's own.
static_assert(int(PortError::DeviceNotFound) == QSerialPort::DeviceNotFoundError);
static_assert(int(PortError::Permission) == QSerialPort::PermissionError);
static_assert(int(PortError::UnsupportedOperation) == QSerialPort::UnsupportedOperationError);
static_assert(int(PortError::NotOpen) == QSerialPort::NotOpenError);

namespace {

// closePort() waits at most this long for queued output, whatever is queued.
constexpr qint64 kMaxCloseWaitMs = 1000;
// ... and beyond the line time of what is queued, this much for the driver and the adapter.
constexpr qint64 kCloseMarginMs = 100;
// Bytes a UART may still hold in its transmit FIFO once the kernel's queue is empty.
constexpr qint64 kFifoBytes = 16;
// input() reads at most this many chunks per call, so a board that never pauses cannot keep
// the GUI thread in it.
constexpr int kMaxReadChunks = 64;
// The sent part of the output queue is cut off once it is this large and at least half.
constexpr qsizetype kCompactAt = 64 * 1024;

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString hangUpReason() {
    return QStringLiteral("The device hung up (was the adapter unplugged?).");
}

QString groupName(gid_t gid) {
    group entry{};
    group* found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(gid, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr)
        return {};
    return QString::fromLocal8Bit(found->gr_name);
}

// Bytes the driver still holds for transmission; 0 where it cannot tell (ptys).
int kernelOutputQueue(int fd) {
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

// True once the UART's shift register and FIFO are empty. Drivers that cannot tell (USB
// adapters, ptys) count as empty once their queue is.
bool transmitterEmpty(int fd) {
#ifdef TIOCSERGETLSR
    unsigned int lsr = 0;
    if (::ioctl(fd, TIOCSERGETLSR, &lsr) == 0)
        return (lsr & TIOCSER_TEMT) != 0;
#endif
    Q_UNUSED(fd);
    return true;
}

// False, with the reason in `failure`, when `path` is no terminal device. A character device is
// asked with isatty on a non-blocking descriptor that is closed at once.
bool isTerminal(const QString& path, QtSerialPort::OpenFailure& failure) {
    const QByteArray local = path.toLocal8Bit();
    struct stat info {};
    if (::stat(local.constData(), &info) != 0)
        return true; // missing: the opening itself says so
    if (!S_ISCHR(info.st_mode)) {
        failure.notATerminal = true;
        return false;
    }
    const int fd = ::open(local.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true; // busy or not allowed: the opening itself says which
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    failure.notATerminal = !terminal;
    return terminal;
}

} // namespace

QtSerialPort::QtSerialPort(PortMap portMap, QObject* parent)
    : SerialPort(parent), portMap_(std::move(portMap)), serial_(new QSerialPort(this)) {
    // QSerialPort reports errors of its own reads: after a hang-up, but also when it finds
    // nothing to read because input() took it first, with a stale errno text, or on a full
    // buffer. Only the descriptor's state tells, so look at it once the current event is done.
    connect(serial_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::NoError || releasing_ || fd_ < 0 || checkQueued_)
            return;
        checkQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                checkQueued_ = false;
                checkAfterSerialError();
            },
            Qt::QueuedConnection);
    });
}

QtSerialPort::~QtSerialPort() {
    release();
}

OpenResult QtSerialPort::openPort() {
    OpenFailure failure;
    failure.portNumber = portNumber_;
    failure.devicePath = devicePath();
    failure.settings = settings_.text();
    if (portOpen())
        return {false, PortError::Open,
                QStringLiteral("%1 is already open.").arg(openPath_)};
    release(); // whatever is left of a port closed under us
    if (failure.devicePath.isEmpty()) {
        failure.error = QSerialPort::DeviceNotFoundError;
        return {false, PortError(failure.error), describeOpenFailure(failure)};
    }
    const std::optional<protocol::LineSettings> line =
        settings_.boardRuns() ? std::optional(settings_) : std::nullopt;
    if (!line) {
        failure.error = QSerialPort::UnsupportedOperationError;
        return {false, PortError(failure.error), describeOpenFailure(failure)};
    }

    // Only a terminal has a line to set up; anything else (a file, a FIFO, /dev/null) is
    // refused before it is opened as one, so that nothing blocks or is written into it.
    if (!isTerminal(failure.devicePath, failure)) {
        failure.error = int(QSerialPort::DeviceNotFoundError);
        return {false, PortError(failure.error), describeOpenFailure(failure)};
    }

    serial_->setPortName(failure.devicePath);
    serial_->setBaudRate(line->baud);
    serial_->setDataBits(QSerialPort::Data8);
    serial_->setParity(QSerialPort::NoParity);
    serial_->setStopBits(QSerialPort::OneStop);
    serial_->setFlowControl(QSerialPort::NoFlowControl);
    if (!serial_->open(QIODevice::ReadWrite)) {
        failure.error = serial_->error() != QSerialPort::NoError ? int(serial_->error())
                                                                 : int(QSerialPort::UnknownError);
        failure.systemText = serial_->errorString();
        const QByteArray path = failure.devicePath.toLocal8Bit();
        struct stat info {};
        failure.deviceExists = ::stat(path.constData(), &info) == 0;
        failure.linkLoop = !failure.deviceExists && errno == ELOOP;
        if (failure.deviceExists) {
            failure.accessDenied = ::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES;
            failure.deviceGroup = groupName(info.st_gid);
        }
        serial_->clearError();
        return {false, PortError(failure.error), describeOpenFailure(failure)};
    }

    fd_ = int(serial_->handle());
    openPath_ = failure.devicePath;
    // Whatever the line carried before this opening is no answer to anything we send.
    ::tcflush(fd_, TCIFLUSH);
    writeNotifier_ = new QSocketNotifier(qintptr(fd_), QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, [this] { writePending(); });
    return {true, PortError::None, {}};
}

void QtSerialPort::closePort() {
    if (fd_ < 0 || !serial_->isOpen()) {
        release();
        return;
    }
    drainBeforeClose();
    if (fd_ < 0)
        return; // the device went away meanwhile; portLost has told
    ::tcflush(fd_, TCIFLUSH);
    release();
}

bool QtSerialPort::portOpen() const {
    return fd_ >= 0 && serial_->isOpen();
}

bool QtSerialPort::output(const QByteArray& bytes) {
    if (fd_ < 0)
        return false;
    if (!serial_->isOpen()) {
        loseDevice(QStringLiteral("The port was closed: %1").arg(serial_->errorString()));
        return false;
    }
    pending_.append(bytes);
    return writePending();
}

QByteArray QtSerialPort::input() {
    if (fd_ < 0)
        return {};
    if (!serial_->isOpen()) {
        loseDevice(QStringLiteral("The port was closed: %1").arg(serial_->errorString()));
        return {};
    }
    // QSerialPort's buffer holds what its notifier read during the event loop; it is older than
    // anything still in the descriptor.
    QByteArray data = serial_->readAll();
    readDevice(data);
    return data;
}

qint64 QtSerialPort::bytesToWrite() const {
    return qint64(pending_.size() - pendingOffset_);
}

// Hands the device as much of the queue as it takes now, in order, without waiting. The rest
// stays queued and the write notifier continues when the device is writable again.
bool QtSerialPort::writePending() {
    while (fd_ >= 0 && pendingOffset_ < pending_.size()) {
        const ssize_t n = ::write(fd_, pending_.constData() + pendingOffset_,
                                  size_t(pending_.size() - pendingOffset_));
        if (n > 0) {
            pendingOffset_ += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK)
            break; // the device's buffer is full; not an error
        loseDevice(QStringLiteral("Writing to the device failed: %1.").arg(systemText(errno)));
        return false;
    }
    if (fd_ < 0)
        return false;
    if (pendingOffset_ == pending_.size()) {
        pending_.clear();
        pendingOffset_ = 0;
    } else if (pendingOffset_ >= kCompactAt && pendingOffset_ * 2 >= pending_.size()) {
        pending_.remove(0, pendingOffset_);
        pendingOffset_ = 0;
    }
    if (writeNotifier_)
        writeNotifier_->setEnabled(pendingOffset_ < pending_.size());
    return true;
}

// Appends what the descriptor holds now. A hung-up terminal reads as empty, so the hang-up is
// looked for first.
bool QtSerialPort::readDevice(QByteArray& into) {
    if (hungUp()) {
        loseDevice(hangUpReason());
        return false;
    }
    char buffer[4096];
    for (int chunk = 0; chunk < kMaxReadChunks;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            into.append(buffer, n);
            ++chunk;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK)
            break; // nothing more for now
        loseDevice(QStringLiteral("Reading from the device failed: %1.").arg(systemText(errno)));
        return false;
    }
    return true;
}

bool QtSerialPort::hungUp() const {
    if (fd_ < 0)
        return false;
    pollfd p{fd_, 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void QtSerialPort::checkAfterSerialError() {
    if (fd_ < 0)
        return;
    if (!serial_->isOpen())
        loseDevice(QStringLiteral("The port was closed: %1").arg(serial_->errorString()));
    else if (hungUp())
        loseDevice(hangUpReason());
    // Otherwise a read found nothing or a buffer was full: the port is fine.
}

void QtSerialPort::drainBeforeClose() {
    QElapsedTimer clock;
    clock.start();
    const qint64 queued = bytesToWrite() + kernelOutputQueue(fd_) + kFifoBytes;
    const qint64 budget = std::min(kMaxCloseWaitMs, lineTimeMs(queued) + kCloseMarginMs);
    for (;;) {
        if (!writePending())
            return; // lost
        const bool ours = bytesToWrite() > 0;
        if (!ours && kernelOutputQueue(fd_) <= 0 && transmitterEmpty(fd_))
            return;
        const qint64 left = budget - clock.elapsed();
        if (left <= 0) {
            // Nobody takes the bytes. Drop the driver's queue too, or close() would wait for
            // it in the kernel.
            ::tcflush(fd_, TCOFLUSH);
            return;
        }
        // Wait for room while our queue is not empty; otherwise look again shortly at how
        // much the driver still holds (it gives no notification when it is done).
        pollfd p{fd_, short(ours ? POLLOUT : 0), 0};
        ::poll(&p, 1, int(ours ? left : std::min<qint64>(left, 2)));
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            loseDevice(hangUpReason());
            return;
        }
    }
}

void QtSerialPort::loseDevice(const QString& reason) {
    if (fd_ < 0)
        return; // told once
    const QString device = openPath_;
    release();
    emit portLost(device, reason);
}

// Closes at once: the queue and unread input are dropped.
void QtSerialPort::release() {
    releasing_ = true;
    if (writeNotifier_) {
        // This may run inside the notifier's own signal.
        writeNotifier_->setEnabled(false);
        writeNotifier_->deleteLater();
        writeNotifier_ = nullptr;
    }
    if (serial_->isOpen())
        serial_->close();
    serial_->clearError();
    fd_ = -1;
    openPath_.clear();
    pending_.clear();
    pendingOffset_ = 0;
    releasing_ = false;
}

qint64 QtSerialPort::lineTimeMs(qint64 bytes) const {
    return (settings_.bytesNs(bytes) + 999'999) / 1'000'000;
}

QString QtSerialPort::describeOpenFailure(const OpenFailure& f) {
    if (f.devicePath.isEmpty())
        return QStringLiteral("No serial device is assigned to port %1. Plug in the adapter and "
                              "start the program again, or name the device in the environment "
                              "variable VANTREL_COM%1 (for example VANTREL_COM%1=/dev/ttyUSB0).")
            .arg(f.portNumber);
    const QString path = f.devicePath;
    if (f.error == QSerialPort::UnsupportedOperationError)
        return QStringLiteral("%1 cannot be opened with the line settings \"%2\".")
            .arg(path, f.settings);
    if (f.notATerminal)
        return QStringLiteral("%1 is not a serial port.").arg(path);
    if (f.linkLoop)
        return QStringLiteral("The serial device %1 cannot be reached: its symbolic links form a "
                              "loop.")
            .arg(path);
    if (!f.deviceExists || f.error == QSerialPort::DeviceNotFoundError)
        return QStringLiteral("The serial device %1 does not exist. Is the adapter plugged in?")
            .arg(path);
    if (f.accessDenied) {
        if (f.deviceGroup.isEmpty() || f.deviceGroup == QStringLiteral("root"))
            return QStringLiteral("Permission denied: this user may not open %1. Ask the "
                                  "administrator for read and write access to it.")
                .arg(path);
        return QStringLiteral("Permission denied: this user may not open %1. Add your user to "
                              "the group '%2' (sudo usermod -aG %2 $USER) and log in again.")
            .arg(path, f.deviceGroup);
    }
    if (f.error == QSerialPort::PermissionError)
        return QStringLiteral("%1 is in use by another program, or cannot be locked (%2). Close "
                              "the other program and try again.")
            .arg(path, f.systemText);
    return QStringLiteral("Cannot open %1: %2.").arg(path, f.systemText);
}
