// The picture upload and command files.
#include "ctl/ParseCommands.h"

#include "ctl/Arguments.h"
#include "ctl/LoadedPicture.h"

namespace ctl::parsing {

void parsePicture(Arguments& a, CommandParser& parser, ParsedCommands& into) {
    const PictureOptions options = parsePictureOptions(a);
    const auto words = a.positionals(1, 1);
    if (!words)
        return;
    const LoadedPicture picture = loadPicture(words->at(0), options, parser);
    if (!picture.ok()) {
        a.fail(picture.error);
        return;
    }
    Command command;
    command.action = Command::Action::Picture;
    command.screen = parser.sharedScreen(picture.screen());
    into.commands << command;
}

void parseScript(Arguments& a, CommandParser& parser, ParsedCommands& into) {
    const auto words = a.positionals(1, 1);
    if (words)
        parser.parseScript(words->at(0), into);
}

} // namespace ctl::parsing
