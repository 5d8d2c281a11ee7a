#include "engine/SentMessages.h"

#include "engine/TrafficFormat.h"
#include "protocol/MessageDecoder.h"

namespace engine {

QByteArray SentMessage::parameters() const {
    QByteArray p = bytes.mid(1);
    if (info && info->isText() && p.endsWith(char(protocol::kEndOfString)))
        p.chop(1);
    return p;
}

QString SentMessage::describe() const {
    if (!info)
        return QStringLiteral("unknown 0x%1").arg(hexText(bytes));
    if (!complete)
        return QString::fromLatin1(info->name) + QStringLiteral(", unfinished");
    return protocol::MessageDecoder::describe(*info, parameters());
}

std::vector<SentMessage> SentMessage::of(std::span<const TrafficRow> rows) {
    std::vector<SentMessage> messages;
    SentMessage current;
    auto finish = [&] {
        current.complete = true;
        messages.push_back(std::move(current));
        current = SentMessage();
    };
    for (const TrafficRow& row : rows) {
        if (row.direction != Direction::ToBoard)
            continue;
        for (char c : row.bytes) {
            const auto byte = std::uint8_t(c);
            if (current.bytes.isEmpty()) {
                current.firstMs = row.timeMs;
                current.info = protocol::commandInfo(byte);
            }
            current.bytes += c;
            current.lastMs = row.timeMs;
            const protocol::CommandInfo* info = current.info;
            if (!info) {
                messages.push_back(std::move(current)); // an unknown byte stands alone
                current = SentMessage();
            } else if (info->isText()) {
                const qsizetype characters = current.bytes.size() - 1;
                // As the board reads it: a carriage return ends the string, or its length limit.
                if (byte == protocol::kEndOfString || characters == protocol::kStringLimit)
                    finish();
            } else if (current.bytes.size() == 1 + info->parameterCount) {
                finish();
            }
        }
    }
    if (!current.bytes.isEmpty())
        messages.push_back(std::move(current));
    return messages;
}

} // namespace engine
