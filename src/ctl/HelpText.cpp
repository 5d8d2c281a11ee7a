#include "ctl/HelpText.h"

#include "Version.h"
#include "protocol/CommandWords.h"

namespace ctl {

QString HelpText::overview() {
    QString text = QStringLiteral(
        "Usage: vantrelctl [OPTION]... COMMAND [ARGS] [-- COMMAND [ARGS]]...\n"
        "Drives a QD70315 graphic LCD board on a serial line: opens the port, detects the\n"
        "board (Identify, its answer and contrast), runs the commands in order and closes.\n"
        "Every command is checked before the first byte is sent.\n"
        "\n"
        "Options:\n"
        "  -p, --port N|PATH  port number 1..16 (VANTREL_COM<n>, then the system's serial\n"
        "                     devices; see `vantrelctl ports`), a device path or a URL\n"
        "                     (rfc2217://HOST:PORT, socket://HOST:PORT); default 1. Given\n"
        "                     more than once, the commands run on every board at once.\n"
        "  -b, --baud, --rate BAUD\n"
        "                     2400, 4800, 9600 (default), 14400, 19200, 28800, 38400,\n"
        "                     57600, 115200\n"
        "  --no-detect        do not send Identify first (for a board that does not answer)\n"
        "  -n, --dry-run      open nothing; print every message that would be sent, in hex,\n"
        "                     one per line (the detection's Identify included)\n"
        "  --format hex|c     with --dry-run: hex lines (the default), or C source, one\n"
        "                     array of every byte with a comment per message and pause\n"
        "  --mirror FILE      at the end, write what the board should show to FILE (by its\n"
        "                     extension, as `render` writes), from the bytes sent\n"
        "  --force            let --mirror replace a file that exists\n"
        "  -v, --verbose      print each message sent and each reply on standard error\n"
        "  -h, --help         show this help and exit\n"
        "  -V, --version      show the version and exit\n"
        "\n"
        "FILE - reads standard input. Short options may be grouped (-nv) and take their\n"
        "value joined or as the next word (-b115200, -b 115200).\n"
        "\n"
        "Commands:\n");
    for (const CommandEntry& entry : CommandParser::entries())
        text += QStringLiteral("  %1%2\n")
                    .arg(QLatin1String(entry.name), -21)
                    .arg(QLatin1String(entry.summary));
    text += QStringLiteral(
        "\n"
        "Options of render and convert, after the command's name:\n"
        "  --output FILE  the file (- standard output); its extension picks the format:\n"
        "                 .png the glass, .bmp one-bit, .bin the 2,560 page bytes in\n"
        "                 upload order, .h/.c C source, .xbm\n"
        "  --format F     png, bmp, bin, h, c or xbm, whatever the extension\n"
        "  --scale N      PNG only: each pixel N x N (1..16)\n"
        "  --plain        PNG only: a lit pixel black on white\n"
        "  --name NAME    the array's name in C and XBM (default: the file's name)\n"
        "  --force        replace a file that exists\n"
        "\n"
        "`vantrelctl help COMMAND` shows a command's arguments and their ranges.\n"
        "\n"
        "Examples:\n"
        "  vantrelctl --port /dev/ttyUSB0 clear -- text \"Hello\" --font 2 --at 2,10\n"
        "  vantrelctl -b 115200 picture logo.bmp\n"
        "  curl -s https://example.org/logo.png | vantrelctl -p 2 picture - --dither floyd\n"
        "  vantrelctl script demo.txt\n"
        "  vantrelctl render --output screen.png --scale 2 script demo.txt\n"
        "  vantrelctl convert logo.jpg --dither floyd --output logo.h\n"
        "\n"
        "Exit status: 0 done, 1 standard output or an output file cannot be written, 2 usage\n"
        "or bad argument (an output file that exists without --force),\n"
        "3 the port cannot be opened, 4 the board did not answer, 5 the port was lost while\n"
        "sending, 128+N stopped by signal N between two messages: 129 hang-up, 130 Ctrl+C,\n"
        "141 broken pipe, 143 SIGTERM.\n");
    return text;
}

QString HelpText::command(const CommandEntry& entry) {
    QString text = QStringLiteral("Usage: vantrelctl %1\n  %2\n")
                       .arg(QLatin1String(entry.usage), QLatin1String(entry.summary));
    // The ranges come from the command language's table, the words around them from the entry.
    QString details;
    if (const protocol::CommandWord* word = protocol::commandWord(QLatin1String(entry.name)))
        details = protocol::argumentRanges(*word);
    if (*entry.details)
        details += (details.isEmpty() ? QString() : QStringLiteral("\n")) +
                   QLatin1String(entry.details);
    if (!details.isEmpty())
        text += u'\n' + details + u'\n';
    return text;
}

QString HelpText::version() {
    return QStringLiteral("vantrelctl " VANTREL_VERSION_STRING "\n");
}

} // namespace ctl
