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
        "`vantrelctl help COMMAND` shows a command's arguments and their ranges.\n"
        "\n"
        "Examples:\n"
        "  vantrelctl --port /dev/ttyUSB0 clear -- text \"Hello\" --font 2 --at 2,10\n"
        "  vantrelctl -b 115200 picture logo.bmp\n"
        "  curl -s https://example.org/logo.png | vantrelctl -p 2 picture - --dither floyd\n"
        "  vantrelctl script demo.txt\n"
        "\n"
        "Exit status: 0 done, 1 standard output cannot be written, 2 usage or bad argument,\n"
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
