#pragma once
// Writes a rendered or converted screen where OutputOptions say: a file, replaced atomically
// (engine::FileSaver: the old file stays whole when the write fails), or standard output.

#include "ctl/Invocation.h"
#include "ctl/OutputOptions.h"
#include "picture/ScreenFileWriter.h"

#include <QString>

namespace ctl {

class Console;

class ScreenOutput {
public:
    // The exit status: done, or a write error after saying why on standard error.
    static int write(const OutputOptions& output, ScreenContents screen, Console& console);
    // `vantrelctl convert`: the invocation's converted picture, written; the exit status.
    static int writeConverted(const Invocation& invocation, Console& console);
};

} // namespace ctl
