#include "ctl/DryRun.h"

#include "protocol/MessageDecoder.h"
#include "protocol/Messages.h"

namespace ctl {

QList<QByteArray> DryRun::messages(const Invocation& invocation) {
    QList<QByteArray> messages;
    if (invocation.detect)
        messages << protocol::identify();
    for (const Command& command : invocation.commands) {
        switch (command.action) {
        case Command::Action::Send:
            messages << command.messages;
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
    }
    return messages;
}

QStringList DryRun::lines(const Invocation& invocation, bool decoded) {
    QStringList lines;
    protocol::MessageDecoder decoder;
    for (const QByteArray& message : messages(invocation)) {
        QString line = QString::fromLatin1(message.toHex(' ').toUpper());
        if (decoded)
            line += QStringLiteral("  ") + decoder.feed(message);
        lines << line;
    }
    return lines;
}

} // namespace ctl
