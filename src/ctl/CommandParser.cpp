#include "ctl/CommandParser.h"

#include "ctl/Arguments.h"
#include "ctl/LoadedPicture.h"
#include "ctl/ScriptReader.h"
#include "protocol/BaudRates.h"
#include "protocol/CommandTable.h"
#include "protocol/Messages.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace ctl {

namespace {

using protocol::Byte;
using protocol::CommandCode;
using protocol::Figure;

constexpr int kMaxListenSeconds = 1'000'000;

const protocol::ParameterInfo& parameter(CommandCode code, int index) {
    return protocol::commandInfo(code).parameters[std::size_t(index)];
}

// A number checked against the range of the board's parameter.
std::optional<int> number(Arguments& a, const QString& text, const QString& what, CommandCode code,
                          int index) {
    const protocol::ParameterInfo& p = parameter(code, index);
    return a.number(text, what, p.min, p.max);
}

void send(ParsedCommands& into, QList<QByteArray> messages) {
    Command command;
    command.messages = std::move(messages);
    into.commands << command;
}

void sendOne(Arguments& a, ParsedCommands& into, const QByteArray& message) {
    if (a.positionals(0, 0))
        send(into, {message});
}

// The text as the board's characters: ISO 8859-1, no control characters.
std::optional<QByteArray> boardCharacters(Arguments& a, const QString& text) {
    QByteArray bytes;
    for (char32_t c : text.normalized(QString::NormalizationForm_C).toUcs4()) {
        const QString code = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            a.fail(QStringLiteral("the control character %1 cannot be shown").arg(code));
            return std::nullopt;
        }
        if (c > 0xFF) {
            a.fail(QStringLiteral("\"%1\" (%2) cannot be sent: the board takes only ISO 8859-1 "
                                  "(Latin-1) characters")
                       .arg(QString::fromUcs4(&c, 1), code));
            return std::nullopt;
        }
        bytes.append(char(c));
    }
    return bytes;
}

// --- the commands ------------------------------------------------------------------------------

void parseIdentify(Arguments& a, CommandParser&, ParsedCommands& into) {
    if (!a.positionals(0, 0))
        return;
    Command command;
    command.action = Command::Action::Identify;
    into.commands << command;
}

void parseText(Arguments& a, CommandParser&, ParsedCommands& into) {
    const bool asString = a.flag(QStringLiteral("--string"));
    const auto font = a.option(QStringLiteral("--font"));
    const auto at = a.option(QStringLiteral("--at"));
    const auto words = a.positionals(1, -1);
    if (!words)
        return;
    QList<QByteArray> messages;
    if (at) {
        const QStringList parts = at->split(u',');
        if (parts.size() != 2) {
            a.fail(QStringLiteral("--at takes PAGE,COLUMN (such as 2,40), not \"%1\"").arg(*at));
            return;
        }
        const auto page = number(a, parts[0].trimmed(), QStringLiteral("the PAGE of --at"),
                                 CommandCode::SetPage, 0);
        const auto column = number(a, parts[1].trimmed(), QStringLiteral("the COLUMN of --at"),
                                   CommandCode::SetColumn, 0);
        if (!page || !column)
            return;
        messages << protocol::setPage(Byte(*page)) << protocol::setColumn(Byte(*column));
    }
    if (font) {
        const auto n = number(a, *font, QStringLiteral("--font"), CommandCode::SelectFont, 0);
        if (!n)
            return;
        messages << protocol::selectFont(Byte(*n));
    }
    const auto bytes = boardCharacters(a, words->join(u' '));
    if (!bytes)
        return;
    if (bytes->isEmpty()) {
        a.fail(QStringLiteral("the text is empty"));
        return;
    }
    if (asString) {
        if (bytes->size() > protocol::kStringLimit) {
            a.fail(QStringLiteral("--string takes at most %1 characters, and this text has %2; "
                                  "send it without --string, or in parts")
                       .arg(protocol::kStringLimit)
                       .arg(bytes->size()));
            return;
        }
        QByteArray message = protocol::beginString(Byte(bytes->at(0)));
        message += bytes->mid(1);
        message += char(protocol::kEndOfString);
        messages << message;
    } else {
        for (char c : *bytes)
            messages << protocol::putChar(Byte(c));
    }
    send(into, messages);
}

void parseClear(Arguments& a, CommandParser&, ParsedCommands& into) {
    const auto words = a.positionals(0, 1);
    if (!words)
        return;
    if (words->isEmpty()) {
        send(into, {protocol::clearDisplay(protocol::kWholeScreen)});
        return;
    }
    const auto page = a.number(words->at(0), QStringLiteral("PAGE"), 0, protocol::kPages - 1,
                               QStringLiteral("leave PAGE out to clear the whole screen"));
    if (!page)
        return;
    send(into, {protocol::clearDisplay(Byte(*page))});
}

void parsePattern(Arguments& a, CommandParser&, ParsedCommands& into) {
    const auto words = a.positionals(1, -1);
    if (!words)
        return;
    QList<QByteArray> messages;
    int index = 0;
    for (const QString& piece : words->join(u' ').split(u',')) {
        ++index;
        const auto value = number(a, piece.trimmed(), QStringLiteral("value %1").arg(index),
                                  CommandCode::PutPattern, 0);
        if (!value)
            return;
        messages << protocol::putPattern(Byte(*value));
    }
    send(into, messages);
}

void parsePixel(Arguments& a, CommandParser&, ParsedCommands& into) {
    const auto words = a.positionals(2, 2);
    if (!words)
        return;
    const auto x = number(a, words->at(0), QStringLiteral("X"), CommandCode::DrawPixel, 1);
    const auto y =
        x ? number(a, words->at(1), QStringLiteral("Y"), CommandCode::DrawPixel, 2) : std::nullopt;
    if (!x || !y)
        return;
    // The window writes the two halves one after the other; here they go as one write.
    send(into, {protocol::drawPixelPrefix() + protocol::drawPixelCoordinates(Byte(*x), Byte(*y))});
}

// line, rect, fill, reverse: the figures of the Coordinates page, drawn or (--clear) cleared.
template <Figure figure> void parseFigure(Arguments& a, CommandParser&, ParsedCommands& into) {
    const bool clear = a.flag(QStringLiteral("--clear"));
    const auto words = a.positionals(4, 4);
    if (!words)
        return;
    if (figure == Figure::Reversed && clear) {
        a.fail(QStringLiteral("--clear does not go with reverse: reversing has no clear mode"));
        return;
    }
    std::array<Byte, 4> v{};
    for (int i = 0; i < 4; ++i) {
        const protocol::ParameterInfo& p = parameter(CommandCode::DrawLineRect, i + 1);
        const auto n = a.number(words->at(i), QLatin1String(p.name), p.min, p.max);
        if (!n)
            return;
        v[std::size_t(i)] = Byte(*n);
    }
    // Reversing is a mode of the clear command.
    const bool draw = !clear && figure != Figure::Reversed;
    send(into, {draw ? protocol::drawLineRect(figure, v[0], v[1], v[2], v[3])
                     : protocol::clearLineRect(figure, v[0], v[1], v[2], v[3])});
}

void parseCircle(Arguments& a, CommandParser&, ParsedCommands& into) {
    const bool clear = a.flag(QStringLiteral("--clear"));
    const auto words = a.positionals(3, 3);
    if (!words)
        return;
    std::array<Byte, 3> v{};
    const QStringList names{QStringLiteral("R"), QStringLiteral("X"), QStringLiteral("Y")};
    for (int i = 0; i < 3; ++i) {
        const auto n = number(a, words->at(i), names[i], CommandCode::DrawCircle, i);
        if (!n)
            return;
        v[std::size_t(i)] = Byte(*n);
    }
    send(into, {clear ? protocol::clearCircle(v[0], v[1], v[2])
                      : protocol::drawCircle(v[0], v[1], v[2])});
}

// A command with one number in the range of the board's parameter.
template <CommandCode code, QByteArray (*build)(Byte)>
void parseNumber(Arguments& a, const QString& what, ParsedCommands& into) {
    const auto words = a.positionals(1, 1);
    if (!words)
        return;
    if (const auto n = number(a, words->at(0), what, code, 0))
        send(into, {build(Byte(*n))});
}

void parseContrast(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseNumber<CommandCode::SetContrast, protocol::setContrast>(a, QStringLiteral("LEVEL"), into);
}

void parseMode(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseNumber<CommandCode::SetDisplayMode, protocol::setDisplayMode>(a, QStringLiteral("MODE"),
                                                                       into);
}

void parseFlip(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseNumber<CommandCode::FlipPage, protocol::flipPage>(a, QStringLiteral("PAGE"), into);
}

void parseLoad(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseNumber<CommandCode::LoadScreen, protocol::loadScreen>(a, QStringLiteral("N"), into);
}

void parseSave(Arguments& a, CommandParser&, ParsedCommands& into) {
    const bool replaceFont = a.flag(QStringLiteral("--replace-font"));
    const auto words = a.positionals(1, 1);
    if (!words)
        return;
    const auto n = number(a, words->at(0), QStringLiteral("N"), CommandCode::SaveScreen, 0);
    if (!n)
        return;
    if (*n < protocol::kFirstFreeScreen && !replaceFont) {
        a.fail(QStringLiteral("screens 1 to %1 hold the board's fonts; add --replace-font to "
                              "overwrite screen %2")
                   .arg(protocol::kFirstFreeScreen - 1)
                   .arg(*n));
        return;
    }
    send(into, {protocol::saveScreen(Byte(*n))});
}

void parseOnOff(Arguments& a, ParsedCommands& into, QByteArray (*build)(bool)) {
    const auto words = a.positionals(1, 1);
    if (!words)
        return;
    const auto on = a.choice(words->at(0), QStringLiteral("the setting"),
                             {QStringLiteral("on"), QStringLiteral("off")});
    if (on)
        send(into, {build(*on == 0)});
}

void parseBacklight(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseOnOff(a, into, protocol::setBacklight);
}

void parseLcd(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseOnOff(a, into, protocol::setLcdPower);
}

void parseRotate(Arguments& a, CommandParser&, ParsedCommands& into) {
    const auto words = a.positionals(1, 1);
    if (!words)
        return;
    const auto angle = a.choice(words->at(0), QStringLiteral("the angle"),
                                {QStringLiteral("0"), QStringLiteral("180")});
    if (angle)
        send(into, {protocol::setRotation(*angle == 1)});
}

void parseAnimate(Arguments& a, CommandParser&, ParsedCommands& into) {
    const auto words = a.positionals(3, 3);
    if (!words)
        return;
    const QStringList names{QStringLiteral("DELAY"), QStringLiteral("START"),
                            QStringLiteral("STOP")};
    std::array<Byte, 3> v{};
    for (int i = 0; i < 3; ++i) {
        const auto n = number(a, words->at(i), names[i], CommandCode::RunAnimation, i);
        if (!n)
            return;
        v[std::size_t(i)] = Byte(*n);
    }
    send(into, {protocol::runAnimation(v[0], v[1], v[2])});
}

void parseStop(Arguments& a, CommandParser&, ParsedCommands& into) {
    // The window's animation "Stop" clears the screen, which ends the animation.
    sendOne(a, into, protocol::clearDisplay(protocol::kWholeScreen));
}

void parseTouch(Arguments& a, CommandParser&, ParsedCommands& into) {
    const auto words = a.positionals(1, 1);
    if (!words)
        return;
    const auto mode = a.choice(words->at(0), QStringLiteral("the mode"),
                               {QStringLiteral("off"), QStringLiteral("coordinates"),
                                QStringLiteral("keypad"), QStringLiteral("keypad-flip")});
    if (!mode)
        return;
    const QByteArray messages[] = {protocol::setTouchMode(protocol::kTouchOff),
                                   protocol::setTouchMode(protocol::kTouchCoordinates),
                                   protocol::setKeypadMode(protocol::kKeypadWithoutFlip),
                                   protocol::setKeypadMode(protocol::kKeypadWithFlip)};
    send(into, {messages[*mode]});
}

void parseCalibrate(Arguments& a, CommandParser&, ParsedCommands& into) {
    sendOne(a, into, protocol::calibrateTouch());
}

void parseRestoreCalibration(Arguments& a, CommandParser&, ParsedCommands& into) {
    sendOne(a, into, protocol::restoreTouchCalibration());
}

void parseBaud(Arguments& a, CommandParser&, ParsedCommands& into) {
    const auto words = a.positionals(1, 1);
    if (!words)
        return;
    const auto index = protocol::indexOfRateText(words->at(0));
    if (!index || words->at(0) != words->at(0).trimmed()) {
        a.fail(QStringLiteral("RATE must be one of %1, not \"%2\"")
                   .arg(protocol::rateTexts().join(QStringLiteral(", ")), words->at(0)));
        return;
    }
    Command command;
    command.action = Command::Action::Baud;
    command.rateIndex = *index;
    into.commands << command;
}

void parsePicture(Arguments& a, CommandParser& parser, ParsedCommands& into) {
    PictureOptions options;
    using Size = PictureOptions::Size;
    const std::pair<const char*, Size> sizes[] = {{"--fit", Size::Fit},
                                                  {"--fill", Size::Fill},
                                                  {"--stretch", Size::Stretch},
                                                  {"--original", Size::Original}};
    int sizesGiven = 0;
    for (const auto& [name, size] : sizes) {
        if (a.flag(QLatin1String(name))) {
            options.size = size;
            ++sizesGiven;
        }
    }
    options.invert = a.flag(QStringLiteral("--invert"));
    const auto threshold = a.option(QStringLiteral("--threshold"));
    const auto dither = a.option(QStringLiteral("--dither"));
    const auto words = a.positionals(1, 1);
    if (!words)
        return;
    if (sizesGiven > 1) {
        a.fail(QStringLiteral("give one of --fit, --fill, --stretch and --original"));
        return;
    }
    if (threshold && dither) {
        a.fail(QStringLiteral("--threshold and --dither exclude each other"));
        return;
    }
    if (threshold) {
        options.threshold = a.number(*threshold, QStringLiteral("--threshold"), 0, 255);
        if (!options.threshold)
            return;
    }
    if (dither) {
        using Method = PictureOptions::Method;
        const auto method = a.choice(*dither, QStringLiteral("--dither"),
                                     {QStringLiteral("floyd"), QStringLiteral("atkinson"),
                                      QStringLiteral("bayer4"), QStringLiteral("bayer8")});
        if (!method)
            return;
        const Method methods[] = {Method::FloydSteinberg, Method::Atkinson, Method::Bayer4,
                                  Method::Bayer8};
        options.method = methods[*method];
    }
    const LoadedPicture picture = loadPicture(words->at(0), options);
    if (!picture.ok()) {
        a.fail(picture.error);
        return;
    }
    Command command;
    command.action = Command::Action::Picture;
    command.screen = parser.sharedScreen(picture.screen());
    into.commands << command;
}

void parseListen(Arguments& a, CommandParser&, ParsedCommands& into) {
    const auto seconds = a.option(QStringLiteral("--seconds"));
    if (!a.positionals(0, 0))
        return;
    Command command;
    command.action = Command::Action::Listen;
    if (seconds) {
        const auto value = a.number(*seconds, QStringLiteral("--seconds"), 1, kMaxListenSeconds);
        if (!value)
            return;
        command.listenMs = qint64(*value) * 1000;
    }
    into.commands << command;
}

void parseRaw(Arguments& a, CommandParser&, ParsedCommands& into) {
    const auto words = a.positionals(1, -1);
    if (!words)
        return;
    QByteArray bytes;
    for (const QString& word : *words) {
        const bool hex = word.size() == 2 && std::all_of(word.begin(), word.end(), [](QChar c) {
                             return c.isDigit() ? c.unicode() < 0x80
                                                : (c.toLower() >= u'a' && c.toLower() <= u'f');
                         });
        if (!hex) {
            a.fail(QStringLiteral("\"%1\" is no byte: give each byte as two hex digits, such as "
                                  "1F")
                       .arg(word));
            return;
        }
        bytes.append(char(word.toUInt(nullptr, 16)));
    }
    send(into, {bytes});
}

void parseScript(Arguments& a, CommandParser& parser, ParsedCommands& into) {
    const auto words = a.positionals(1, 1);
    if (words)
        parser.parseScript(words->at(0), into);
}

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
    {"pixel", "pixel X Y", "draw one pixel", "X and Y 0..255.", parsePixel},
    {"line", "line X1 Y1 X2 Y2 [--clear]", "draw (or clear) a line",
     "Coordinates 0..255, sent as typed (the board clips what lies outside its\n"
     "160 x 128 pixels).", parseFigure<Figure::Line>},
    {"rect", "rect X1 Y1 X2 Y2 [--clear]", "draw (or clear) a rectangle outline",
     "Coordinates 0..255.", parseFigure<Figure::Outline>},
    {"fill", "fill X1 Y1 X2 Y2 [--clear]", "draw (or clear) a filled rectangle",
     "Coordinates 0..255.", parseFigure<Figure::Filled>},
    {"reverse", "reverse X1 Y1 X2 Y2", "reverse the pixels of a rectangle",
     "Coordinates 0..255.", parseFigure<Figure::Reversed>},
    {"circle", "circle R X Y [--clear]", "draw (or clear) a circle",
     "Radius R and centre X, Y, each 0..255.", parseCircle},
    {"contrast", "contrast LEVEL", "set the contrast", "LEVEL 0..127.", parseContrast},
    {"backlight", "backlight on|off", "switch the backlight", "", parseBacklight},
    {"lcd", "lcd on|off", "switch the display", "", parseLcd},
    {"mode", "mode MODE", "set the display mode",
     "0 normal, 1 reverse, 2 top normal and bottom reverse, 3 top reverse and bottom\n"
     "normal, 4 right reverse and left normal, 5 diagonal [\\], 6 diagonal [/].", parseMode},
    {"rotate", "rotate 0|180", "turn the picture by 0 or 180 degrees", "", parseRotate},
    {"flip", "flip PAGE", "show page PAGE 0..15 (the window's \"Flip Page\")", "", parseFlip},
    {"save", "save N [--replace-font]", "save the screen into screen memory N",
     "N 5..203; screens 1..4 hold the board's fonts and are overwritten only with\n"
     "--replace-font.", parseSave},
    {"load", "load N", "show screen N of the screen memory", "N 1..203.", parseLoad},
    {"animate", "animate DELAY START STOP", "show stored screens START..STOP in a loop",
     "One screen every DELAY x 10 ms (DELAY 0..255); START and STOP 1..203.", parseAnimate},
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
    {"picture", "picture FILE [--fit|--fill|--stretch|--original] [--threshold N] "
                "[--dither floyd|atkinson|bayer4|bayer8] [--invert]",
     "upload a picture as the whole screen",
     "Touch off, page 0, column 0, then 2,560 page bytes, paced to the line. A one-bit\n"
     "BMP of up to 256 x 128 pixels goes as it is, as the window's \"Open\" takes it; any\n"
     "other picture (PNG, JPEG, GIF, PBM/PGM/PPM, BMP of any depth), or any picture given\n"
     "options, is scaled to 160 x 128 (--fit, the default, letterboxes; --fill crops;\n"
     "--stretch; --original centres it unscaled) and made one-bit by a threshold (N, or\n"
     "the picture's own mid-grey) or by dithering. --invert swaps lit and dark.\n"
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
    {"ports", "ports", "list the port numbers and their devices, and exit",
     "Port n is the device named by VANTREL_COM<n>; the other numbers go to the\n"
     "system's serial devices (USB adapters first). Character devices only.", nullptr},
    {"help", "help [COMMAND]", "show the help of one command", "", nullptr},
};
// clang-format on

} // namespace

CommandParser::CommandParser(StandardInput standardInput)
    : standardInput_(std::move(standardInput)) {}

std::span<const CommandEntry> CommandParser::entries() {
    return kEntries;
}

const CommandEntry* CommandParser::find(const QString& name) {
    for (const CommandEntry& entry : kEntries)
        if (name == QLatin1String(entry.name))
            return &entry;
    return nullptr;
}

std::shared_ptr<const engine::Screen>
CommandParser::sharedScreen(const engine::Screen& screen) {
    const QByteArray key(reinterpret_cast<const char*>(screen.data()), qsizetype(screen.size()));
    auto& shared = screens_[key];
    if (!shared)
        shared = std::make_shared<const engine::Screen>(screen);
    return shared;
}

ParsedCommands CommandParser::parse(const QStringList& words, const QString& script, int line) {
    ParsedCommands result;
    const QString where =
        script.isEmpty() ? QString() : QStringLiteral("%1 line %2: ").arg(script).arg(line);
    if (words.isEmpty()) {
        result.error = where + QStringLiteral("a command is missing");
        return result;
    }
    const QString& name = words.first();
    const CommandEntry* entry = find(name);
    if (!entry) {
        result.error = where + (name.startsWith(QStringLiteral("--"))
                                    ? QStringLiteral("%1 is no command (options go before the "
                                                     "first command)")
                                          .arg(name)
                                    : QStringLiteral("unknown command \"%1\"").arg(name));
        return result;
    }
    if (!entry->parse) {
        result.error = where + QStringLiteral("%1 runs alone, not with other commands").arg(name);
        return result;
    }
    Arguments arguments(words.mid(1), QString::fromLatin1(entry->usage));
    entry->parse(arguments, *this, result);
    if (arguments.failed())
        result.error = arguments.error();
    if (!result.ok()) {
        result.error = where + name + QStringLiteral(": ") + result.error;
        result.commands.clear();
        return result;
    }
    result.commands.nameUnnamed(name, script, line);
    return result;
}

void CommandParser::parseScript(const QString& path, ParsedCommands& into) {
    const bool standardInput = path == QStringLiteral("-");
    const QString shown = standardInput ? QStringLiteral("standard input") : path;
    if (scriptStack_.size() >= kMaxScriptDepth) {
        into.error = QStringLiteral("scripts run scripts more than %1 deep (at %2)")
                         .arg(kMaxScriptDepth)
                         .arg(shown);
        return;
    }
    ScriptBytes script;
    QString key = path;
    if (standardInput) {
        if (standardInputRead_) {
            into.error = QStringLiteral("standard input can be read by one script only");
            return;
        }
        standardInputRead_ = true;
        if (standardInput_)
            script = standardInput_();
    } else {
        key = QFileInfo(path).canonicalFilePath();
        if (scriptStack_.contains(key)) {
            into.error = QStringLiteral("%1 runs itself").arg(shown);
            return;
        }
        script = ScriptFile::read(path);
    }
    if (!script.ok()) {
        into.error = script.error;
        return;
    }
    scriptStack_ << key;
    const ScriptError unreadable =
        ScriptReader::read(script.bytes, [&](int number, const QStringList& words) {
            const ParsedCommands one = parse(words, shown, number);
            if (!one.ok())
                into.error = one.error;
            else
                into.commands << one.commands;
            return one.ok();
        });
    if (!unreadable.ok())
        into.error =
            QStringLiteral("%1 line %2: %3").arg(shown).arg(unreadable.line).arg(unreadable.error);
    scriptStack_.removeLast();
}

} // namespace ctl
