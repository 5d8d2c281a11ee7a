#pragma once
// Line settings of a Linux terminal through termios2, which carries the rate as a plain number,
// so that non-standard rates such as 14400 and 28800 (set with BOTHER) read back exactly.

#include <termios.h>

// The kernel's struct termios2 (asm/termbits.h cannot be included beside <termios.h>).
struct KernelTermios2 {
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};

namespace lineTermios {

bool get(int fd, KernelTermios2& t);       // TCGETS2
bool set(int fd, const KernelTermios2& t); // TCSETS2
// Sets the rate: the standard constant where there is one (so that tools using cfgetospeed read
// it), BOTHER with the number otherwise.
void putRate(KernelTermios2& t, int baud);
// The output rate of the terminal behind fd; 0 when it can't be read.
int baudOf(int fd);

} // namespace lineTermios
