// The figures of the Coordinates page: pixel, line, rect, fill, reverse, circle.
#include "ctl/ParseCommands.h"

#include "ctl/Arguments.h"
#include "protocol/Messages.h"


namespace ctl::parsing {

using protocol::Byte;
using protocol::Figure;

namespace {

Byte at(const QByteArray& values, int i) {
    return Byte(values[i]);
}

// line, rect, fill, reverse: the figures of the Coordinates page, drawn or (--clear) cleared.
void parseFigure(Arguments& a, Figure figure, const char* word, ParsedCommands& into) {
    const bool clear = a.flag(QStringLiteral("--clear"));
    const auto words = a.positionals(4, 4);
    if (!words)
        return;
    if (figure == Figure::Reversed && clear) {
        a.fail(QStringLiteral("--clear does not go with reverse: reversing has no clear mode"));
        return;
    }
    const auto* row = protocol::commandWord(QLatin1String(word),
                                            clear ? QStringLiteral("--clear") : QString());
    const auto v = wordNumbers(a, *words, *row);
    if (!v)
        return;
    // Reversing is a mode of the clear command.
    const bool draw = !clear && figure != Figure::Reversed;
    send(into, {draw ? protocol::drawLineRect(figure, at(*v, 0), at(*v, 1), at(*v, 2), at(*v, 3))
                     : protocol::clearLineRect(figure, at(*v, 0), at(*v, 1), at(*v, 2),
                                               at(*v, 3))});
}

} // namespace

void parsePixel(Arguments& a, CommandParser&, ParsedCommands& into) {
    const auto words = a.positionals(2, 2);
    if (!words)
        return;
    const auto v = wordNumbers(a, *words, *protocol::commandWord(u"pixel"));
    if (!v)
        return;
    // The window writes the two halves one after the other; here they go as one write.
    send(into, {protocol::drawPixelPrefix() + protocol::drawPixelCoordinates(at(*v, 0), at(*v, 1))});
}

void parseLine(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseFigure(a, Figure::Line, "line", into);
}

void parseRect(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseFigure(a, Figure::Outline, "rect", into);
}

void parseFill(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseFigure(a, Figure::Filled, "fill", into);
}

void parseReverse(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseFigure(a, Figure::Reversed, "reverse", into);
}

void parseCircle(Arguments& a, CommandParser&, ParsedCommands& into) {
    const bool clear = a.flag(QStringLiteral("--clear"));
    const auto words = a.positionals(3, 3);
    if (!words)
        return;
    const auto v = wordNumbers(
        a, *words, *protocol::commandWord(u"circle", clear ? QAnyStringView(u"--clear") : QAnyStringView()));
    if (!v)
        return;
    send(into, {clear ? protocol::clearCircle(at(*v, 0), at(*v, 1), at(*v, 2))
                      : protocol::drawCircle(at(*v, 0), at(*v, 1), at(*v, 2))});
}

} // namespace ctl::parsing
