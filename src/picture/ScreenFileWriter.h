#pragma once
// A screen as the bytes of a file in one of the screen formats (ScreenFileFormat): the glass
// for .png; the display memory, the bytes an upload would send to show it again, for the rest.
// The file itself is written by whoever asks (atomically, see engine::FileSaver).

#include "display/Glass.h"
#include "picture/GlassImage.h"
#include "picture/ScreenFileFormat.h"
#include "protocol/Screen.h"

#include <QByteArray>
#include <QString>

struct ScreenContents {
    protocol::Screen memory{};               // page bytes in upload order
    display::Glass glass;                    // what the panel shows (for .png)
    GlassColours colours = kBoardColours;    // .png only
    int scale = 1;                           // .png only
    QString name;       // the C arrays' name as given; made a C identifier when written
    QString origin;     // where the screen came from, for the C comment ("logo.png")
    QString conversion; // how it was made, for the C comment

    // The glass of a memory shown as it is: normal mode, no rotation, page 0, LCD on.
    static display::Glass plainGlass(const protocol::Screen& memory);
};

class ScreenFileWriter {
public:
    static QByteArray encode(ScreenFileFormat format, const ScreenContents& screen);
};
