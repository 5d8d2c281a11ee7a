#pragma once
// What one "Send" of the "Coordinates" page writes, from the selected shape, mode and fill and the
// texts of the shape's fields. Pure: no widgets, no port.
//
//   shape      mode     fill     writes (hex; "|" separates two writes)
//   Pixel      -        -        0A 01 | X Y
//   Line       Draw     -        1F 00 X1 Y1 X2 Y2
//   Line       Clear    -        1E 00 X1 Y1 X2 Y2
//   Line       Reverse  -        nothing
//   Rectangle  Draw     Empty    1F 01 X1 Y1 X2 Y2
//   Rectangle  Clear    Empty    1E 01 X1 Y1 X2 Y2
//   Rectangle  Draw     Filled   1F 02 X1 Y1 X2 Y2
//   Rectangle  Clear    Filled   1E 02 X1 Y1 X2 Y2
//   Rectangle  Reverse  -        1E 03 X1 Y1 X2 Y2
//   Circle     Draw     -        21 R X Y
//   Circle     Clear    -        20 R X Y
//   Circle     Reverse  -        nothing
//   ("-": not read)
//
// The fields count only when the selection has a command. Each must hold a whole number 0..255
// (ByteFieldParser); one that does not stops the whole "Send", the pixel's first write included,
// so that nothing half-sent is left on the line. Corners and radius go out as typed: no ordering,
// no check against the display's size.

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace drawing {

enum class Shape { Pixel, Line, Rectangle, Circle };
enum class Mode { Draw, Clear, Reverse };
enum class Fill { Empty, Filled };

struct DrawingCommand {
    QList<QByteArray> writes; // one Output each, in order; empty: nothing is written
    QList<int> refused;       // positions of the fields that hold no byte; writes is then empty
};

// `fields`: the texts of the shape's fields in the order of its frame: pixel X Y; line and
// rectangle X1 Y1 X2 Y2; circle R X Y. A missing text counts as an empty field.
DrawingCommand drawingCommand(Shape shape, Mode mode, Fill fill, const QStringList& fields);

} // namespace drawing
