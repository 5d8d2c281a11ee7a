// The commands that write characters and bytes: identify, text, clear, pattern, raw.
#include "ctl/ParseCommands.h"

#include "ctl/Arguments.h"
#include "protocol/CommandTable.h"
#include "protocol/Messages.h"

#include <algorithm>

namespace ctl::parsing {

using protocol::Byte;
using protocol::CommandCode;
using protocol::Figure;

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
    const auto page = wordNumbers(a, *words, *protocol::commandWord(u"clear"),
                                  QStringLiteral("leave PAGE out to clear the whole screen"));
    if (page)
        send(into, {protocol::clearDisplay(Byte(page->at(0)))});
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

} // namespace ctl::parsing
