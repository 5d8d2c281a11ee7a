// The commands of vantrelctl with their help texts, in the order --help lists them.
#include "ctl/CommandParser.h"
#include "ctl/ParseCommands.h"

namespace ctl {

namespace {

using namespace parsing;

// clang-format off
constexpr CommandEntry kEntries[] = {
    {"identify", "identify", "ask the board to identify itself; prints the contrast it reports",
     "Sends Identify and waits up to 1.5 s for the answer, as detection does; prints\n"
     "\"contrast N\". Exit status 4 when the board does not answer.", parseIdentify},
    {"text", "text STRING [--font 1..4] [--at PAGE,COLUMN] [--string]",
     "write text at the write position",
     "Sends each character as PutChar, as the window's Character mode does; with --string\n"
     "as one string (BeginString, the characters, CR) of at most 45 characters. Longer\n"
     "text is refused, not cut. --font selects the font first (1 7 pixels, 2 14 pixels,\n"
     "3 14 pixels bold, 4 22 pixels); --at sets page 0..15 and column 0..159 first.\n"
     "Several words are joined with one blank. ISO 8859-1 (Latin-1) characters only.",
     parseText},
    {"clear", "clear [PAGE]", "clear page 0..15, or the whole screen",
     "Without PAGE the whole screen is cleared.", parseClear},
    {"pattern", "pattern V,V,...", "write page bytes at the write position",
     "Each value 0..255 is one page byte (bit 0 the top row), sent as PutPattern.",
     parsePattern},
    {"pixel", "pixel X Y", "draw one pixel", "", parsePixel},
    {"line", "line X1 Y1 X2 Y2 [--clear]", "draw (or clear) a line",
     "Coordinates are sent as typed: the board clips what lies outside its screen.",
     parseLine},
    {"rect", "rect X1 Y1 X2 Y2 [--clear]", "draw (or clear) a rectangle outline",
     "", parseRect},
    {"fill", "fill X1 Y1 X2 Y2 [--clear]", "draw (or clear) a filled rectangle",
     "", parseFill},
    {"reverse", "reverse X1 Y1 X2 Y2", "reverse the pixels of a rectangle",
     "", parseReverse},
    {"circle", "circle R X Y [--clear]", "draw (or clear) a circle",
     "Radius R, centre X, Y.", parseCircle},
    {"contrast", "contrast LEVEL", "set the contrast", "", parseContrast},
    {"backlight", "backlight on|off", "switch the backlight", "", parseBacklight},
    {"lcd", "lcd on|off", "switch the display", "", parseLcd},
    {"mode", "mode MODE", "set the display mode",
     "0 normal, 1 reverse, 2 top normal and bottom reverse, 3 top reverse and bottom\n"
     "normal, 4 right reverse and left normal, 5 diagonal [\\], 6 diagonal [/].", parseMode},
    {"rotate", "rotate 0|180", "turn the picture by 0 or 180 degrees", "", parseRotate},
    {"flip", "flip PAGE", "show page PAGE 0..15 (the window's \"Flip Page\")", "", parseFlip},
    {"save", "save N [--replace-font]", "save the screen into screen memory N",
     "Screens 1..4 hold the board's fonts and are overwritten only with --replace-font.",
     parseSave},
    {"load", "load N", "show screen N of the screen memory", "", parseLoad},
    {"animate", "animate DELAY START STOP", "show stored screens START..STOP in a loop",
     "One screen every DELAY x 10 ms.", parseAnimate},
    {"stop", "stop", "stop an animation (clears the screen)", "", parseStop},
    {"touch", "touch off|coordinates|keypad|keypad-flip", "set how the touch screen reports",
     "coordinates: \"X<x>Y<y>!\" per touch; keypad: \"K<key>!\" for 4 x 4 keys; keypad-flip:\n"
     "the keys numbered for a picture turned by 180 degrees. See listen.", parseTouch},
    {"calibrate", "calibrate", "start the touch screen's calibration", "", parseCalibrate},
    {"restore-calibration", "restore-calibration", "restore the touch screen's calibration", "",
     parseRestoreCalibration},
    {"baud", "baud RATE", "switch the board to another rate and reconnect",
     "Sends SetBaudRate at the current rate, closes the port, waits 300 ms, reopens at\n"
     "RATE and detects the board again. RATE: 2400, 4800, 9600, 14400, 19200, 28800,\n"
     "38400, 57600 or 115200. Commands after it run at the new rate.", parseBaud},
    {"picture", "picture FILE|- [--fit|--fill|--stretch|--original] [--threshold N] "
                "[--dither floyd|atkinson|bayer4|bayer8] [--brightness B] [--contrast C] "
                "[--invert]",
     "upload a picture as the whole screen",
     "Touch off, page 0, column 0, then 2,560 page bytes, paced to the line. A one-bit\n"
     "BMP of up to 256 x 128 pixels goes as it is, as the window's \"Open\" takes it; any\n"
     "other picture (PNG, JPEG, GIF, PBM/PGM/PPM, BMP of any depth), or any picture given\n"
     "options, is scaled to 160 x 128 (--fit, the default, letterboxes; --fill crops;\n"
     "--stretch; --original centres it unscaled) and made one-bit by a threshold (N, or\n"
     "the picture's own mid-grey) or by dithering. --brightness and --contrast\n"
     "(-100..100, default 0) adjust its light before: B moves it towards white or\n"
     "black, C spreads it from half-light or draws it together. --invert swaps lit and\n"
     "dark. - reads the picture from standard input (at most 256 MB, as a file).\n"
     "A progress bar shows on standard error when it is a terminal. Ctrl+C stops between\n"
     "messages and says how far the upload got.", parsePicture},
    {"listen", "listen [--seconds S]", "print what the board sends",
     "Prints each reply or touch report on its own line as it arrives, for S whole\n"
     "seconds (1..1000000) or until Ctrl+C (which ends only the listening; later\n"
     "commands still run).", parseListen},
    {"raw", "raw HEX...", "send bytes as they are",
     "Each byte as two hex digits, such as: raw 1F 02 0A 14 64 3C. All go in one write.",
     parseRaw},
    {"script", "script FILE|-", "run the commands of a file (- reads standard input)",
     "One command per line, written as on the command line; # starts a comment, blank\n"
     "lines are skipped. Every line is checked before anything is sent; a failing line\n"
     "stops the run and is named by its number. UTF-8 text of at most 16 MB; FILE must\n"
     "be a regular file (- reads a pipe).", parseScript},
    {"render", "render --output FILE [--format F] [--scale N] [--plain] [--name NAME] "
               "[--force] COMMAND [ARGS] [-- COMMAND [ARGS]]...",
     "run commands without a board and write the screen they leave",
     "Opens no port: the commands go to the same display model as the virtual board's,\n"
     "as the very bytes a run sends, and the screen is written to FILE (- standard\n"
     "output) by its extension, or by --format png|bmp|bin|h|c|xbm:\n"
     "  .png  the glass as the board shows it (display mode, rotation, flip page, LCD\n"
     "        power; its blue look, or black on white with --plain; --scale 1..16)\n"
     "  .bmp  the display memory as a one-bit BMP (the window's \"Open\" takes it back)\n"
     "  .bin  the 2,560 page bytes in upload order (page by page, column by column)\n"
     "  .h    C header: static const uint8_t NAME[2560] behind an include guard\n"
     "  .c    C source: const uint8_t NAME[2560]\n"
     "  .xbm  X bitmap of the display memory\n"
     "NAME is --name or the file's name, made a C identifier. An existing FILE is\n"
     "replaced only with --force; the file is written whole or not at all. identify\n"
     "and listen are refused: nothing answers.", nullptr},
    {"convert", "convert IMAGE [--fit|--fill|--stretch|--original] [--threshold N] "
                "[--dither floyd|atkinson|bayer4|bayer8] [--brightness B] [--contrast C] "
                "[--invert] --output FILE [--format F] [--scale N] [--plain] [--name NAME] "
                "[--force]",
     "convert a picture and write the screen as a file",
     "Converts IMAGE as `picture` does (see `vantrelctl help picture`) and writes the\n"
     "screen to FILE by its extension, as `render` writes it (see `vantrelctl help\n"
     "render`). The C source names the picture and the conversion in a comment.",
     nullptr},
    {"ports", "ports", "list the port numbers and their devices, and exit",
     "Port n is the device named by VANTREL_COM<n>; the other numbers go to the\n"
     "system's serial devices (USB adapters first). Character devices only.", nullptr},
    {"help", "help [COMMAND]", "show the help of one command", "", nullptr},
};
// clang-format on

} // namespace

std::span<const CommandEntry> CommandParser::entries() {
    return kEntries;
}

const CommandEntry* CommandParser::find(const QString& name) {
    for (const CommandEntry& entry : kEntries)
        if (name == QLatin1String(entry.name))
            return &entry;
    return nullptr;
}

} // namespace ctl
