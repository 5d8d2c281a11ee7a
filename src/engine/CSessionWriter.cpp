#include "engine/CSessionWriter.h"

#include "engine/BoardSession.h"
#include "engine/ScriptWriter.h"
#include "engine/SentMessages.h"
#include "engine/TrafficFormat.h"

#include <iterator>

namespace engine {

namespace {

using protocol::CommandCode;

// Safe inside a C block comment: no "*/", no line breaks.
QString commentText(QString text) {
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = u'?';
    return text.replace(QStringLiteral("*/"), QStringLiteral("* /"))
        .replace(QStringLiteral("/*"), QStringLiteral("/ *"));
}

// True when messages `i` .. `i` + 2 begin an upload: touch off, page 0, column 0.
bool uploadStartsAt(const std::vector<SentMessage>& messages, std::size_t i) {
    if (i + 2 >= messages.size())
        return false;
    static const QByteArray setup[] = {BoardSession::uploadMessage({}, 0),
                                       BoardSession::uploadMessage({}, 1),
                                       BoardSession::uploadMessage({}, 2)};
    static_assert(std::size(setup) == BoardSession::kSetupMessages);
    for (std::size_t k = 0; k < std::size(setup); ++k)
        if (!messages[i + k].complete || messages[i + k].bytes != setup[k])
            return false;
    return true;
}

// The pause the session keeps after message `i`, in words; empty when none.
QString pauseAfter(const std::vector<SentMessage>& messages, std::size_t i) {
    const SentMessage& m = messages[i];
    if (uploadStartsAt(messages, i))
        return QStringLiteral("wait %1 ms: the board switches touch reporting off")
            .arg(BoardSession::kTouchOffPauseNs / 1'000'000);
    if ((i >= 1 && uploadStartsAt(messages, i - 1)) || (i >= 2 && uploadStartsAt(messages, i - 2)))
        return QStringLiteral("wait %1 ms").arg(BoardSession::kAddressPauseNs / 1'000'000);
    if (m.is(CommandCode::SetBaudRate))
        return QStringLiteral("wait %1 ms, then go on at the new rate")
            .arg(BoardSession::kBaudChangePauseMs);
    const SentMessage* next = i + 1 < messages.size() ? &messages[i + 1] : nullptr;
    if (next && next->firstMs - m.lastMs >= ScriptWriter::kGapCommentMs)
        return QStringLiteral("%1 later").arg(durationText(next->firstMs - m.lastMs));
    return {};
}

} // namespace

QByteArray CSessionWriter::write(std::span<const TrafficRow> rows, const QString& name,
                                 const QString& origin) {
    const std::vector<SentMessage> messages = SentMessage::of(rows);
    qsizetype total = 0;
    for (const SentMessage& m : messages)
        total += m.bytes.size();
    QString text = QStringLiteral("/* %1: the messages sent to a QD70315 LCD board, in order; "
                                  "%2 messages, %3 bytes.\n"
                                  " * From %4, written by Vantrel. Send the bytes in order and "
                                  "keep the pauses\n"
                                  " * the comments name.\n */\n"
                                  "#ifndef VANTREL_SESSION_%5_H\n#define VANTREL_SESSION_%5_H\n\n"
                                  "#include <stdint.h>\n\n")
                       .arg(name)
                       .arg(messages.size())
                       .arg(total)
                       .arg(commentText(origin), name.toUpper());
    const QString end = QStringLiteral("\n#endif\n");
    if (total == 0) // C has no empty array
        return (text + QStringLiteral("static const uint8_t %1[1] = {0}; /* nothing was sent */\n")
                           .arg(name) + end)
            .toUtf8();
    text += QStringLiteral("static const uint8_t %1[%2] = {\n").arg(name).arg(total);
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const SentMessage& m = messages[i];
        text += QStringLiteral("    /* %1 */").arg(commentText(m.describe()));
        for (char c : m.bytes)
            text += QStringLiteral(" 0x%1,").arg(std::uint8_t(c), 2, 16, QLatin1Char('0'));
        text += u'\n';
        if (const QString pause = pauseAfter(messages, i); !pause.isEmpty())
            text += QStringLiteral("    /* %1 */\n").arg(pause);
    }
    text += QStringLiteral("};\n") + end;
    return text.toUtf8();
}

} // namespace engine
