#pragma once
// How `picture FILE` turns a picture into the display's pixels.

#include "picture/ConversionOptions.h"

namespace ctl {

class Arguments;

// The options of `picture FILE` are those of the window's "Convert Picture" dialog.
using PictureOptions = ConversionOptions;

// Takes the picture options out of a command's words and checks them (ranges, options that
// exclude each other); the first fault is recorded in `a`. Every command that converts a
// picture parses its options here, so they mean the same everywhere.
PictureOptions parsePictureOptions(Arguments& a);

} // namespace ctl
