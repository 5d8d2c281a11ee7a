#pragma once
// The file formats a screen is written in, chosen by the file's extension: the glass as a
// picture (.png), or the display memory, the bytes an upload sends to show it again (.bmp
// one-bit, .bin raw, .h/.c C source, .xbm).

#include <QString>
#include <optional>

enum class ScreenFileFormat { Png, Bmp, Bin, CHeader, CSource, Xbm };

class ScreenFileFormats {
public:
    // The format of `path` by its extension (any case); none for another or no extension.
    static std::optional<ScreenFileFormat> ofPath(const QString& path);
    // Why `path` cannot be written as a screen, naming the extensions known.
    static QString unknownExtension(const QString& path);
    // ".png, .bmp, .bin, .h, .c and .xbm"
    static QString extensionList();
    // The filters of a save dialog, one per format, the first all of them.
    static QString dialogFilters();
    // PNG shows the glass; every other format holds the display memory.
    static bool showsGlass(ScreenFileFormat format) { return format == ScreenFileFormat::Png; }
};
