#include "panels/drawing/DrawingCommand.h"

#include "panels/drawing/ByteFieldParser.h"
#include "protocol/Messages.h"

#include <optional>
#include <vector>

namespace drawing {

DrawingCommand drawingCommand(Shape shape, Mode mode, Fill fill, const QStringList& fields) {
    using protocol::Figure;
    // A line and a circle have no reverse command; the rectangle's fill is not read for Reverse.
    std::optional<Figure> figure;
    int fieldCount = 0;
    switch (shape) {
    case Shape::Pixel:
        fieldCount = 2;
        break;
    case Shape::Line:
        if (mode == Mode::Reverse)
            return {};
        figure = Figure::Line;
        fieldCount = 4;
        break;
    case Shape::Rectangle:
        figure = mode == Mode::Reverse  ? Figure::Reversed
                 : fill == Fill::Filled ? Figure::Filled
                                        : Figure::Outline;
        fieldCount = 4;
        break;
    case Shape::Circle:
        if (mode == Mode::Reverse)
            return {};
        fieldCount = 3;
        break;
    }

    DrawingCommand command;
    std::vector<protocol::Byte> v;
    for (int i = 0; i < fieldCount; ++i) {
        if (const std::optional<std::uint8_t> b = ByteFieldParser::parse(fields.value(i)))
            v.push_back(*b);
        else
            command.refused << i;
    }
    if (!command.refused.isEmpty())
        return command;

    const bool draw = mode == Mode::Draw;
    if (shape == Shape::Pixel)
        command.writes = {protocol::drawPixelPrefix(), protocol::drawPixelCoordinates(v[0], v[1])};
    else if (figure)
        command.writes = {draw ? protocol::drawLineRect(*figure, v[0], v[1], v[2], v[3])
                               : protocol::clearLineRect(*figure, v[0], v[1], v[2], v[3])};
    else
        command.writes = {draw ? protocol::drawCircle(v[0], v[1], v[2])
                               : protocol::clearCircle(v[0], v[1], v[2])};
    return command;
}

} // namespace drawing
