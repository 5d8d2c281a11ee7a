#pragma once
// What the commands' parse functions share: checked numbers, the characters the board shows,
// and adding a command's messages. Each family of commands is in a file of its own
// (TextCommands, DrawingCommands, BoardCommands, PictureCommand); CommandEntries lists them with
// their help texts.

#include "ctl/CommandParser.h"
#include "ctl/PictureOptions.h"
#include "protocol/CommandCode.h"
#include "protocol/CommandWords.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace ctl::parsing {

// A number checked against the range of the board's parameter `index` of `code`.
std::optional<int> number(Arguments& a, const QString& text, const QString& what,
                          protocol::CommandCode code, int index);
// The numbers a word of the command language takes (`words`, as many as it names), each checked
// against its range and named as the table names it. `hint` is added to a refusal.
std::optional<QByteArray> wordNumbers(Arguments& a, const QStringList& words,
                                      const protocol::CommandWord& word, const QString& hint = {});
void send(ParsedCommands& into, QList<QByteArray> messages);
// A command without arguments that sends `message`.
void sendOne(Arguments& a, ParsedCommands& into, const QByteArray& message);
// The text as the board's characters: ISO 8859-1, no control characters.
std::optional<QByteArray> boardCharacters(Arguments& a, const QString& text);

// The parse functions, one per command.
void parseIdentify(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseText(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseClear(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parsePattern(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseRaw(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parsePixel(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseLine(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseRect(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseFill(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseReverse(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseCircle(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseContrast(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseMode(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseFlip(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseLoad(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseSave(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseBacklight(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseLcd(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseRotate(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseAnimate(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseStop(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseTouch(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseCalibrate(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseRestoreCalibration(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseBaud(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseListen(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parsePicture(Arguments& a, CommandParser& parser, ParsedCommands& into);
void parseScript(Arguments& a, CommandParser& parser, ParsedCommands& into);

} // namespace ctl::parsing
