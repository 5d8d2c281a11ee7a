#pragma once
// `vantrelctl render`: the commands of a run carried out on the display model instead of a
// board. The model takes exactly the bytes a real run sends, in order (the detection's
// Identify, each command's messages, each picture's upload), through the same interpreter as
// the virtual board, so the screen rendered is the one the board would show.

#include "ctl/CommandList.h"
#include "ctl/Invocation.h"
#include "picture/ScreenFileWriter.h"

namespace display {
class BoardModel;
}

namespace ctl {

class Console;

class ScreenRender {
public:
    // Feeds the bytes of `commands` to `model`. `identify` and `listen` are refused before.
    static void run(const CommandList& commands, display::BoardModel& model);
    // `vantrelctl render`: runs the invocation's commands on a fresh model and writes the
    // screen; the exit status. `commandLine` is named in the C source's comment.
    static int render(const Invocation& invocation, const QString& commandLine, Console& console);
    // The model's display memory and glass, in the board's colours, for writing.
    static ScreenContents contents(const display::BoardModel& model);
};

} // namespace ctl
