#include "ctl/DryRun.h"

#include "protocol/MessageDecoder.h"
#include "protocol/Messages.h"

namespace ctl {

void DryRun::forEachMessage(const Invocation& invocation, const TakeMessage& take) {
    if (invocation.detect && !take(protocol::identify()))
        return;
    const CommandList& commands = invocation.commands;
    for (qsizetype i = 0; i < commands.size(); ++i) {
        QList<QByteArray> messages;
        const Command command = commands.at(i);
        switch (command.action) {
        case Command::Action::Send:
            messages = command.messages;
            break;
        case Command::Action::Identify:
            messages << protocol::identify();
            break;
        case Command::Action::Baud:
            messages << protocol::setBaudRate(protocol::Byte(command.rateIndex));
            if (invocation.detect)
                messages << protocol::identify();
            break;
        case Command::Action::Picture:
            // The board session's upload: touch off, page 0, column 0, then the page bytes.
            messages << protocol::setTouchMode(protocol::kTouchOff) << protocol::setPage(0)
                     << protocol::setColumn(0);
            for (std::uint8_t b : *command.screen)
                messages << protocol::putPattern(b);
            break;
        case Command::Action::Listen:
            break;
        }
        for (const QByteArray& message : std::as_const(messages))
            if (!take(message))
                return;
    }
}

void DryRun::forEachLine(const Invocation& invocation, bool decoded, const TakeLine& take) {
    protocol::MessageDecoder decoder;
    forEachMessage(invocation, [&](const QByteArray& message) {
        QString line = QString::fromLatin1(message.toHex(' ').toUpper());
        if (decoded)
            line += QStringLiteral("  ") + decoder.feed(message);
        return take(line);
    });
}

QList<QByteArray> DryRun::messages(const Invocation& invocation) {
    QList<QByteArray> messages;
    forEachMessage(invocation, [&messages](const QByteArray& message) {
        messages << message;
        return true;
    });
    return messages;
}

QStringList DryRun::lines(const Invocation& invocation, bool decoded) {
    QStringList lines;
    forEachLine(invocation, decoded, [&lines](const QString& line) {
        lines << line;
        return true;
    });
    return lines;
}

} // namespace ctl
