#include "ctl/ParseCommands.h"

#include "ctl/Arguments.h"
#include "protocol/CommandTable.h"

namespace ctl::parsing {

using protocol::CommandCode;

std::optional<int> number(Arguments& a, const QString& text, const QString& what, CommandCode code,
                          int index) {
    const protocol::ParameterInfo& p = protocol::commandInfo(code).parameters[std::size_t(index)];
    return a.number(text, what, p.min, p.max);
}

std::optional<QByteArray> wordNumbers(Arguments& a, const QStringList& words,
                                      const protocol::CommandWord& word, const QString& hint) {
    QByteArray values;
    for (int i = 0; i < word.argumentCount(); ++i) {
        const auto n = a.number(words.at(i), word.argumentName(i), word.argumentMin(i),
                                word.argumentMax(i), hint);
        if (!n)
            return std::nullopt;
        values += char(*n);
    }
    return values;
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

} // namespace ctl::parsing
