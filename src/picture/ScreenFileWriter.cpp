#include "picture/ScreenFileWriter.h"

#include "picture/BitmapWriter.h"
#include "picture/CIdentifier.h"
#include "picture/CScreenWriter.h"
#include "picture/XbmWriter.h"

#include <QBuffer>

display::Glass ScreenContents::plainGlass(const protocol::Screen& memory) {
    display::Glass glass;
    for (int y = 0; y < protocol::kRows; ++y)
        for (int x = 0; x < protocol::kColumns; ++x)
            glass.setLit(x, y, (memory[std::size_t((y / 8) * protocol::kColumns + x)] >> (y % 8)) & 1);
    return glass;
}

QByteArray ScreenFileWriter::encode(ScreenFileFormat format, const ScreenContents& screen) {
    const QString name = CIdentifier::of(screen.name);
    switch (format) {
    case ScreenFileFormat::Png: {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        glassImage(screen.glass, screen.colours, screen.scale).save(&buffer, "PNG");
        return bytes;
    }
    case ScreenFileFormat::Bmp: {
        PageBytes pages;
        for (int page = 0; page < protocol::kPages; ++page)
            for (int column = 0; column < protocol::kColumns; ++column)
                pages.set(page, column, screen.memory[std::size_t(page * protocol::kColumns + column)]);
        return BitmapWriter::write(pages);
    }
    case ScreenFileFormat::Bin:
        return QByteArray(reinterpret_cast<const char*>(screen.memory.data()),
                          qsizetype(screen.memory.size()));
    case ScreenFileFormat::CHeader:
        return CScreenWriter::header(screen.memory, name, screen.origin, screen.conversion);
    case ScreenFileFormat::CSource:
        return CScreenWriter::source(screen.memory, name, screen.origin, screen.conversion);
    case ScreenFileFormat::Xbm:
        return XbmWriter::write(screen.memory, name);
    }
    return {};
}
