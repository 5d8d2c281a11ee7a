#include "ctl/ScreenRender.h"

#include "ctl/ScreenOutput.h"
#include "display/BoardModel.h"
#include "display/CommandInterpreter.h"
#include "engine/BoardSession.h"
#include "protocol/Messages.h"

#include <algorithm>

namespace ctl {

namespace {

void feed(display::CommandInterpreter& interpreter, const QByteArray& bytes) {
    interpreter.feed(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                     std::size_t(bytes.size()));
}

} // namespace

void ScreenRender::run(const CommandList& commands, display::BoardModel& model) {
    display::CommandInterpreter interpreter(model);
    feed(interpreter, protocol::identify()); // the detection; it changes nothing shown
    for (qsizetype i = 0; i < commands.size(); ++i) {
        const Command command = commands.at(i);
        switch (command.action) {
        case Command::Action::Send:
            for (const QByteArray& message : command.messages)
                feed(interpreter, message);
            break;
        case Command::Action::Baud: // the change of rate, then the detection at the new one
            feed(interpreter, protocol::setBaudRate(std::uint8_t(command.rateIndex)));
            feed(interpreter, protocol::identify());
            break;
        case Command::Action::Picture:
            for (int m = 0; m < engine::BoardSession::kSetupMessages + engine::kScreenBytes; ++m)
                feed(interpreter, engine::BoardSession::uploadMessage(*command.screen, m));
            break;
        case Command::Action::Identify:
        case Command::Action::Listen:
            break; // refused before the run
        }
    }
}

int ScreenRender::render(const Invocation& invocation, const QString& commandLine,
                         Console& console) {
    display::BoardModel model;
    run(invocation.commands, model);
    ScreenContents screen = contents(model);
    screen.origin = commandLine;
    screen.conversion = QStringLiteral("none: the display memory as the commands left it");
    return ScreenOutput::write(invocation.output, screen, console);
}

ScreenContents ScreenRender::contents(const display::BoardModel& model) {
    ScreenContents screen;
    std::copy(model.memory().begin(), model.memory().end(), screen.memory.begin());
    screen.glass = display::glassOf(model);
    screen.colours = boardColours(model);
    return screen;
}

} // namespace ctl
