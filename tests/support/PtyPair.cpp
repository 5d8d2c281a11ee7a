#include "support/PtyPair.h"

#include "board/LineTermios.h"

#include <QElapsedTimer>
#include <QMap>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString errnoText(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

bool makeRaw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CREAD | CLOCAL;
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

int baudOfSpeed(speed_t speed) {
    static const QMap<speed_t, int> rates{
        {B0, 0},          {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},
        {B150, 150},      {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},
        {B1800, 1800},    {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},
        {B38400, 38400},  {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
        {B921600, 921600}};
    return rates.value(speed, -1);
}

} // namespace

PtyPair::PtyPair() {
    // Close-on-exec: a program a test starts must not hold the board end open.
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) {
        error_ = errnoText("posix_openpt");
        return;
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error_ = errnoText("grantpt/unlockpt");
        closeMaster();
        return;
    }
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        error_ = errnoText("ptsname_r");
        closeMaster();
        return;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) {
        error_ = errnoText("open slave");
        closeMaster();
        return;
    }
    if (!makeRaw(slave_) || !makeRaw(master_)) {
        error_ = errnoText("tcsetattr raw");
        closeMaster();
        ::close(slave_);
        slave_ = -1;
    }
}

PtyPair::~PtyPair() {
    closeMaster();
    if (slave_ >= 0)
        ::close(slave_);
}

PortMap PtyPair::portMap(int portNumber) const {
    return PortMap({{portNumber, slavePath_}});
}

bool PtyPair::writeToPort(const QByteArray& bytes, int timeoutMs) {
    if (master_ < 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        pollfd p{master_, POLLOUT, 0};
        ::poll(&p, 1, int(left));
    }
    return true;
}

QByteArray PtyPair::readFromPort(qsizetype count, int timeoutMs) {
    QByteArray got;
    if (master_ < 0)
        return got;
    QElapsedTimer clock;
    clock.start();
    char buffer[4096];
    while (got.size() < count) {
        const size_t want =
            size_t(std::min<qsizetype>(qsizetype(sizeof buffer), count - got.size()));
        const ssize_t n = ::read(master_, buffer, want);
        if (n > 0) {
            got.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EAGAIN: nothing yet. EIO: no slave open at the moment; keep waiting the same way.
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, int(std::min<qint64>(left, 20))) < 0 && errno != EINTR)
            break;
    }
    return got;
}

QByteArray PtyPair::readAvailable() {
    QByteArray got;
    if (master_ < 0)
        return got;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    return got;
}

PtyPair::LineSettings PtyPair::lineSettings() const {
    LineSettings s;
    const int fd = master_ >= 0 ? master_ : slave_;
    termios t{};
    if (fd < 0 || ::tcgetattr(fd, &t) != 0)
        return s;
    s.baud = baudOfSpeed(::cfgetospeed(&t));
    if (const int exact = lineTermios::baudOf(fd))
        s.baud = exact;
    switch (t.c_cflag & CSIZE) {
    case CS5:
        s.dataBits = 5;
        break;
    case CS6:
        s.dataBits = 6;
        break;
    case CS7:
        s.dataBits = 7;
        break;
    default:
        s.dataBits = 8;
        break;
    }
    s.parity = (t.c_cflag & PARENB) ? ((t.c_cflag & PARODD) ? 'O' : 'E') : 'N';
    s.stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
    s.rtsCts = (t.c_cflag & CRTSCTS) != 0;
    s.xonXoff = (t.c_iflag & (IXON | IXOFF)) != 0;
    return s;
}

void PtyPair::closeMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}
