#include "board/PseudoTerminal.h"

#include "board/LineTermios.h"
#include "display/BoardModel.h"
#include "display/CommandInterpreter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QSocketNotifier>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

#ifndef EXTPROC
constexpr tcflag_t EXTPROC = 0200000;
#endif
#ifndef TIOCPKT_IOCTL
constexpr int TIOCPKT_IOCTL = 64;
#endif

QString quotedReply(const std::string& text) {
    QString out = QStringLiteral("\"");
    for (char c : text) {
        const auto b = std::uint8_t(c);
        out += b >= 0x20 && b < 0x7F ? QString(QChar(b))
                                     : QStringLiteral("\\x%1").arg(b, 2, 16, QChar(u'0'));
    }
    return out + u'"';
}

} // namespace

PseudoTerminal::PseudoTerminal(display::BoardModel& model, display::CommandInterpreter& interpreter,
                               QObject* parent)
    : QObject(parent), model_(model), interpreter_(interpreter) {}

PseudoTerminal::~PseudoTerminal() {
    removeLink();
    closeAll();
}

void PseudoTerminal::fail(const char* what) {
    error_ = QStringLiteral("%1: %2").arg(QLatin1String(what),
                                          QString::fromLocal8Bit(std::strerror(errno)));
    closeAll();
}

void PseudoTerminal::closeAll() {
    delete readNotifier_;
    readNotifier_ = nullptr;
    delete writeNotifier_;
    writeNotifier_ = nullptr;
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
    slave_ = master_ = -1;
}

bool PseudoTerminal::open() {
    if (isOpen())
        return true;
    error_.clear();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) {
        fail("posix_openpt");
        return false;
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        fail("grantpt/unlockpt");
        return false;
    }
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        fail("ptsname_r");
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) {
        fail("open slave");
        return false;
    }
    // Raw 8N1 at the board's rate, EXTPROC so that packet mode reports changes of the settings.
    KernelTermios2 t{};
    if (!lineTermios::get(slave_, t)) {
        fail("TCGETS2");
        return false;
    }
    t.c_iflag &=
        ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    t.c_oflag &= ~tcflag_t(OPOST);
    t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_lflag |= EXTPROC;
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    lineTermios::putRate(t, model_.baud());
    if (!lineTermios::set(slave_, t)) {
        fail("TCSETS2");
        return false;
    }
    int packet = 1;
    if (::ioctl(master_, TIOCPKT, &packet) != 0) {
        fail("TIOCPKT");
        return false;
    }
    seenLineBaud_ = lineBaud();
    readNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &PseudoTerminal::readMaster);
    writeNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &PseudoTerminal::writePending);
    return true;
}

bool PseudoTerminal::createLink(const QString& path) {
    if (!isOpen()) {
        error_ = QStringLiteral("the terminal is not open");
        return false;
    }
    const QFileInfo info(path);
    if (info.isSymLink()) {
        if (!QFile::remove(path)) {
            error_ = QStringLiteral("%1: cannot replace the old link").arg(path);
            return false;
        }
    } else if (info.exists()) {
        error_ = QStringLiteral("%1: exists and is not a link; left alone").arg(path);
        return false;
    }
    if (::symlink(QFile::encodeName(slavePath_).constData(), QFile::encodeName(path).constData()) !=
        0) {
        error_ = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    linkPath_ = path;
    return true;
}

void PseudoTerminal::removeLink() {
    if (linkPath_.isEmpty())
        return;
    const QFileInfo info(linkPath_);
    if (info.isSymLink() && info.symLinkTarget() == QFileInfo(slavePath_).absoluteFilePath())
        QFile::remove(linkPath_);
    linkPath_.clear();
}

int PseudoTerminal::lineBaud() const {
    return lineTermios::baudOf(master_ >= 0 ? master_ : slave_);
}

bool PseudoTerminal::setLineBaud(int baud) {
    KernelTermios2 t{};
    if (slave_ < 0 || baud <= 0 || !lineTermios::get(slave_, t))
        return false;
    lineTermios::putRate(t, baud);
    return lineTermios::set(slave_, t);
}

void PseudoTerminal::readMaster() {
    // In packet mode every read gives one packet: TIOCPKT_DATA (0) and bytes, or one status byte.
    std::array<std::uint8_t, 4097> buffer;
    QElapsedTimer clock;
    clock.start();
    qint64 taken = 0;
    Noise noise;
    while (taken < kSliceBytes && clock.elapsed() < kSliceMs) {
        // One status byte and at most the rest of the slice.
        const auto room = std::size_t(std::min<qint64>(kSliceBytes - taken, buffer.size() - 1));
        const ssize_t n = ::read(master_, buffer.data(), room + 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            // Not expected while the terminal holds the slave; stop listening rather than spin.
            emit logLine(QStringLiteral("line read failed: %1; no longer listening")
                             .arg(QString::fromLocal8Bit(std::strerror(errno))));
            readNotifier_->setEnabled(false);
            break;
        }
        if (n <= 0)
            break; // EAGAIN: all read
        if (buffer[0] != TIOCPKT_DATA)
            continue; // a change of the line settings (or a flush): looked at below
        deliver(buffer.data() + 1, std::size_t(n - 1), lineBaud(), seenLineBaud_, noise);
        taken += n - 1;
    }
    logNoise(noise);
    const int now = lineBaud();
    if (now != seenLineBaud_) {
        seenLineBaud_ = now;
        emit logLine(QStringLiteral("line settings: %1 baud").arg(now));
        emit lineBaudChanged(now);
    }
    if (taken > 0) {
        bytesRead_ += taken;
        emit bytesArrived();
    }
}

void PseudoTerminal::deliver(const std::uint8_t* data, std::size_t size, int lineBaud,
                             int earlierBaud, Noise& noise) {
    // The board's rate can change inside the piece (SetBaudRate), so each byte is judged at the
    // rate the board has when it comes to it.
    const bool tapped = isSignalConnected(QMetaMethod::fromSignal(&PseudoTerminal::bytesTaken));
    QByteArray taken;
    for (std::size_t i = 0; i < size; ++i) {
        const int board = model_.baud();
        if (board == lineBaud || board == earlierBaud) {
            if (noise.bytes > 0)
                logNoise(noise); // the log keeps the order of events
            interpreter_.feed(data + i, 1);
            if (tapped)
                taken += char(data[i]);
            continue;
        }
        if (noise.bytes > 0 && (noise.lineBaud != lineBaud || noise.boardBaud != board))
            logNoise(noise);
        noise.lineBaud = lineBaud;
        noise.boardBaud = board;
        ++noise.bytes;
    }
    if (!taken.isEmpty())
        emit bytesTaken(taken);
}

void PseudoTerminal::logNoise(Noise& noise) {
    if (noise.bytes == 0)
        return;
    emit logLine(QStringLiteral("line noise: %1 byte(s) dropped (line at %2 baud, board at "
                                "%3 baud)")
                     .arg(noise.bytes)
                     .arg(noise.lineBaud)
                     .arg(noise.boardBaud));
    noise.bytes = 0;
}

void PseudoTerminal::sendReply(const std::string& text) {
    if (!isOpen() || text.empty())
        return;
    const int line = lineBaud();
    if (line != model_.baud()) {
        emit logLine(QStringLiteral("reply %1 not sent: line at %2 baud, board at %3 baud")
                         .arg(quotedReply(text))
                         .arg(line)
                         .arg(model_.baud()));
        return;
    }
    if (pending_.size() + qsizetype(text.size()) > kMaxPendingReply) {
        emit logLine(
            QStringLiteral("reply %1 dropped: nobody reads the line").arg(quotedReply(text)));
        return;
    }
    emit logLine(QStringLiteral("reply %1").arg(quotedReply(text)));
    pending_.append(text.data(), qsizetype(text.size()));
    writePending();
}

void PseudoTerminal::writePending() {
    while (!pending_.isEmpty() && master_ >= 0) {
        const ssize_t n = ::write(master_, pending_.constData(), std::size_t(pending_.size()));
        if (n > 0) {
            pending_.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: the slave's input is full; go on when it has room
    }
    if (writeNotifier_)
        writeNotifier_->setEnabled(!pending_.isEmpty());
}
