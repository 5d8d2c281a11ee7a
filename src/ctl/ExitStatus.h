#pragma once
// What vantrelctl's exit status tells a calling script.

namespace ctl {

enum ExitStatus : int {
    kDone = 0,
    kWriteError = 1,    // standard output could not be written (a full disk, a closed descriptor)
    kUsage = 2,         // unknown command, malformed argument, number out of range, or a
                        // command the port cannot carry out (baud on socket://)
    kPortNotOpened = 3, // the port cannot be opened
    kNoAnswer = 4,      // the board did not answer Identify
    kPortLost = 5,      // the port went away while sending
    // Stopped by a signal: 128 plus its number, as shells report it (129 SIGHUP, 130 Ctrl+C,
    // 141 SIGPIPE, 143 SIGTERM).
    kSignalBase = 128,
};

} // namespace ctl
