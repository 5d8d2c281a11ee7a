#pragma once
// --mirror FILE: what the board should show at the end of a run, from the bytes the session
// sent (its traffic), carried out on the display model as the virtual board carries them out.
// It shows what was sent, not what the board reports.

#include "ctl/OutputOptions.h"
#include "display/BoardModel.h"
#include "display/CommandInterpreter.h"

#include <QByteArray>

namespace ctl {

class Console;

class Mirror {
public:
    explicit Mirror(OutputOptions output) : output_(std::move(output)), interpreter_(model_) {}

    void feed(const QByteArray& sent);
    // Writes the screen; the exit status (done, or a write error after saying why).
    int write(Console& console) const;

private:
    OutputOptions output_;
    display::BoardModel model_;
    display::CommandInterpreter interpreter_;
};

} // namespace ctl
