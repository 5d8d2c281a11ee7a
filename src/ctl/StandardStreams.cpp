#include "ctl/StandardStreams.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace ctl {

namespace {

bool closedAtStart[3] = {false, false, false};

} // namespace

void StandardStreams::holdClosed() {
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        closedAtStart[fd] = true;
        // open() takes the lowest free descriptor: this one, the lower ones being open.
        const int held = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}

bool StandardStreams::inputClosed() {
    return closedAtStart[0];
}

bool StandardStreams::outputClosed() {
    return closedAtStart[1];
}

} // namespace ctl
