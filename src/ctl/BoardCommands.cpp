// The commands that set the board up: display, screen memory, animation, touch, rate, listening.
#include "ctl/ParseCommands.h"

#include "ctl/Arguments.h"
#include "protocol/BaudRates.h"
#include "protocol/CommandTable.h"
#include "protocol/Messages.h"

#include <array>

namespace ctl::parsing {

using protocol::Byte;
using protocol::CommandCode;
using protocol::Figure;

namespace {

constexpr int kMaxListenSeconds = 1'000'000;

// A command with one number, checked as the command language's table says.
void parseNumber(Arguments& a, QAnyStringView word, QByteArray (*build)(Byte),
                 ParsedCommands& into) {
    const auto words = a.positionals(1, 1);
    if (!words)
        return;
    if (const auto v = wordNumbers(a, *words, *protocol::commandWord(word)))
        send(into, {build(Byte(v->at(0)))});
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

} // namespace

void parseContrast(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseNumber(a, u"contrast", protocol::setContrast, into);
}

void parseMode(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseNumber(a, u"mode", protocol::setDisplayMode, into);
}

void parseFlip(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseNumber(a, u"flip", protocol::flipPage, into);
}

void parseLoad(Arguments& a, CommandParser&, ParsedCommands& into) {
    parseNumber(a, u"load", protocol::loadScreen, into);
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
    const auto v = wordNumbers(a, *words, *protocol::commandWord(u"animate"));
    if (v)
        send(into, {protocol::runAnimation(Byte(v->at(0)), Byte(v->at(1)), Byte(v->at(2)))});
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

} // namespace ctl::parsing
