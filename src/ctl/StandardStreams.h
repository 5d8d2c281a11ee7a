#pragma once
// Standard input, output or error that the caller closed (`<&-`, `>&-`). The next file this
// process opens would take the free descriptor, and the serial port opened as descriptor 1 would
// receive what is printed. Each closed one is held by /dev/null instead, and remembered: reading
// or writing it is an error, not an empty script or lost output.

namespace ctl {

class StandardStreams {
public:
    // To be called first in main(), before anything is opened.
    static void holdClosed();
    static bool inputClosed();
    static bool outputClosed();
};

} // namespace ctl
