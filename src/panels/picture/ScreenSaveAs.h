#pragma once
// "Save As..." of "Convert Picture": the converted screen written in the format its file name's
// extension picks (ScreenFileFormat: .png the glass in the board's look, .bmp one-bit, .bin
// page bytes, .h/.c C source, .xbm), atomically; the save dialog asks before replacing a file.
//
//   name          caption       what it does
//   saveAsButton  "Save As..."  the file dialog with one filter per format; a failure is named

#include "picture/ConversionOptions.h"
#include "picture/PageBytes.h"

#include <QString>
#include <functional>

class Dialogs;
class QDialogButtonBox;
class QWidget;

class ScreenSaveAs {
public:
    // Adds the button to `buttons` of `parent`; a click saves what `screen` gives then, made
    // from the picture `origin` by the options `options` gives.
    static void addButton(QWidget* parent, QDialogButtonBox* buttons, Dialogs& dialogs,
                          const QString& origin, std::function<PageBytes()> screen,
                          std::function<ConversionOptions()> options);
    // Asks for the file and writes it; false when cancelled or not written (the user was told).
    static bool save(QWidget* parent, Dialogs& dialogs, const PageBytes& screen,
                     const QString& origin, const QString& conversion);
};
