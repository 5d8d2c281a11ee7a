#include "board/LineTermios.h"

#include <array>
#include <sys/ioctl.h>

namespace {

const unsigned long kGetTermios2 = _IOR('T', 0x2A, KernelTermios2);
const unsigned long kSetTermios2 = _IOW('T', 0x2B, KernelTermios2);
constexpr tcflag_t kCbaud = 0010017;
constexpr tcflag_t kBother = 0010000;

struct StandardRate {
    int baud;
    tcflag_t code;
};
constexpr std::array<StandardRate, 8> kStandardRates{{{2400, B2400},
                                                      {4800, B4800},
                                                      {9600, B9600},
                                                      {19200, B19200},
                                                      {38400, B38400},
                                                      {57600, B57600},
                                                      {115200, B115200},
                                                      {230400, B230400}}};

} // namespace

namespace lineTermios {

bool get(int fd, KernelTermios2& t) {
    return ::ioctl(fd, kGetTermios2, &t) == 0;
}

bool set(int fd, const KernelTermios2& t) {
    return ::ioctl(fd, kSetTermios2, &t) == 0;
}

void putRate(KernelTermios2& t, int baud) {
    tcflag_t code = kBother;
    for (const StandardRate& r : kStandardRates)
        if (r.baud == baud)
            code = r.code;
    t.c_cflag = (t.c_cflag & ~kCbaud) | code;
    t.c_ispeed = speed_t(baud);
    t.c_ospeed = speed_t(baud);
}

int baudOf(int fd) {
    KernelTermios2 t{};
    if (fd < 0 || !get(fd, t))
        return 0;
    return int(t.c_ospeed);
}

} // namespace lineTermios
