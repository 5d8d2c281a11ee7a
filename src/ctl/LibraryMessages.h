#pragma once
// What Qt and the libraries under it print through Qt's message handler ("libpng warning: iCCP:
// known incorrect sRGB profile", Qt's own warnings) would come before vantrelctl's own message
// and bury it. They are held back until the command line has been read, then shown with
// --verbose and dropped without. Critical and fatal ones always show.

namespace ctl {

class LibraryMessages {
public:
    // From now on, messages are held back.
    static void install();
    // Shows the held messages when `verbose`, and from now on shows or drops them at once.
    static void setVerbose(bool verbose);
};

} // namespace ctl
