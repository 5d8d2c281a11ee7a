// What a "Send" of the "Coordinates" page writes for each shape, mode and fill, and which fields
// stop it.
#include "panels/drawing/DrawingCommand.h"
#include "support/HexCompare.h"

#include <QTest>

using drawing::Fill;
using drawing::Mode;
using drawing::Shape;

Q_DECLARE_METATYPE(drawing::Shape)
Q_DECLARE_METATYPE(drawing::Mode)
Q_DECLARE_METATYPE(drawing::Fill)

class tst_DrawingCommand : public QObject {
    Q_OBJECT
private slots:
    void command_data();
    void command();
};

void tst_DrawingCommand::command_data() {
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<Fill>("fill");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("writes"); // hex, "|" between writes
    QTest::addColumn<QList<int>>("refused");

    const QStringList corners{"10", "20", "100", "60"};
    const QStringList circle{"10", "64", "32"};
    const auto row = [](const char* name, Shape s, Mode m, Fill f, const QStringList& fields,
                        const char* writes, const QList<int>& refused = {}) {
        QTest::newRow(name) << s << m << f << fields << QString::fromLatin1(writes) << refused;
    };

    // Every row of the selection table; "not read" selections set to their other value.
    row("Pixel", Shape::Pixel, Mode::Draw, Fill::Empty, {"5", "7"}, "0A 01 | 05 07");
    row("Pixel, mode and fill not read", Shape::Pixel, Mode::Reverse, Fill::Filled, {"0", "255"},
        "0A 01 | 00 FF");
    row("Line Draw", Shape::Line, Mode::Draw, Fill::Empty, corners, "1F 00 0A 14 64 3C");
    row("Line Draw, fill not read", Shape::Line, Mode::Draw, Fill::Filled, corners,
        "1F 00 0A 14 64 3C");
    row("Line Clear", Shape::Line, Mode::Clear, Fill::Filled, corners, "1E 00 0A 14 64 3C");
    row("Line Reverse", Shape::Line, Mode::Reverse, Fill::Empty, corners, "");
    row("Rectangle Draw Empty", Shape::Rectangle, Mode::Draw, Fill::Empty, corners,
        "1F 01 0A 14 64 3C");
    row("Rectangle Clear Empty", Shape::Rectangle, Mode::Clear, Fill::Empty, corners,
        "1E 01 0A 14 64 3C");
    row("Rectangle Draw Filled", Shape::Rectangle, Mode::Draw, Fill::Filled, corners,
        "1F 02 0A 14 64 3C");
    row("Rectangle Clear Filled", Shape::Rectangle, Mode::Clear, Fill::Filled, corners,
        "1E 02 0A 14 64 3C");
    row("Rectangle Reverse Empty", Shape::Rectangle, Mode::Reverse, Fill::Empty, corners,
        "1E 03 0A 14 64 3C");
    row("Rectangle Reverse Filled", Shape::Rectangle, Mode::Reverse, Fill::Filled, corners,
        "1E 03 0A 14 64 3C");
    row("Circle Draw", Shape::Circle, Mode::Draw, Fill::Empty, circle, "21 0A 40 20");
    row("Circle Clear, fill not read", Shape::Circle, Mode::Clear, Fill::Filled, circle,
        "20 0A 40 20");
    row("Circle Reverse", Shape::Circle, Mode::Reverse, Fill::Empty, circle, "");

    // Values go out as typed: corners unordered, nothing held against the display's size.
    row("end before start, 0 and 255", Shape::Rectangle, Mode::Draw, Fill::Empty,
        {"255", "060", " 0", "7 "}, "1F 01 FF 3C 00 07");
    row("circle past the edge", Shape::Circle, Mode::Draw, Fill::Empty, {"255", "159", "127"},
        "21 FF 9F 7F");

    // A field that holds no byte stops the whole command.
    row("line end Y 300", Shape::Line, Mode::Draw, Fill::Empty, {"1", "2", "3", "300"}, "", {3});
    row("rectangle, two bad fields", Shape::Rectangle, Mode::Reverse, Fill::Empty,
        {"1", "-1", "3", "1.5"}, "", {1, 3});
    row("pixel Y bad: not even 0A 01", Shape::Pixel, Mode::Draw, Fill::Empty, {"5", "0,"}, "", {1});
    row("circle radius empty", Shape::Circle, Mode::Clear, Fill::Empty, {"", "64", "32"}, "", {0});
    row("missing field counts as empty", Shape::Circle, Mode::Draw, Fill::Empty, {"1", "2"}, "",
        {2});
    // Without a command the fields are not looked at.
    row("Line Reverse, bad field", Shape::Line, Mode::Reverse, Fill::Empty, {"x", "", "3", "4"},
        "");
    row("Circle Reverse, bad field", Shape::Circle, Mode::Reverse, Fill::Filled, {"ab", "1", "2"},
        "");
}

void tst_DrawingCommand::command() {
    QFETCH(Shape, shape);
    QFETCH(Mode, mode);
    QFETCH(Fill, fill);
    QFETCH(QStringList, fields);
    QFETCH(QString, writes);
    QFETCH(QList<int>, refused);
    const drawing::DrawingCommand c = drawing::drawingCommand(shape, mode, fill, fields);
    COMPARE_HEX(c.writes, writesOf(writes.toLatin1().constData()));
    QCOMPARE(c.refused, refused);
}

QTEST_MAIN(tst_DrawingCommand)
#include "tst_drawingcommand.moc"
