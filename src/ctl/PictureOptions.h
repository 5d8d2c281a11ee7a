#pragma once
// How `picture FILE` turns a picture into the display's pixels.

#include "picture/ConversionOptions.h"

namespace ctl {

// The options of `picture FILE` are those of the window's "Convert Picture" dialog.
using PictureOptions = ConversionOptions;

} // namespace ctl
