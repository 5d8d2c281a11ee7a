#include "protocol/ReplyText.h"

namespace protocol {

namespace {

constexpr const char* kControlNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                           "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                           "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                           "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

} // namespace

QString replyText(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20)
            text += u'<' + QLatin1String(kControlNames[code]) + u'>';
        else if (code == 0x7F)
            text += QStringLiteral("<DEL>");
        else if (code >= 0x80 && code <= 0x9F)
            text += QStringLiteral("<0x%1>").arg(QString::number(code, 16).toUpper());
        else
            text += QChar(code);
    }
    return text;
}

QString quotedText(const QByteArray& characters) {
    QString text = QStringLiteral("\"");
    for (char c : characters) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '"' || b == '\\')
            text += u'\\' + QChar(b);
        else if (b >= 0x20 && b < 0x7F)
            text += QChar(b);
        else
            text += QStringLiteral("\\x") +
                    QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text + u'"';
}

QString replyMeaning(const QByteArray& bytes) {
    return u'"' + replyText(bytes) + u'"';
}

QString shownReplyMeaning(const QByteArray& bytes) {
    if (bytes.size() <= kShownReplyBytes)
        return replyMeaning(bytes);
    return replyMeaning(bytes.first(kShownReplyBytes)) +
           QStringLiteral("… (%1 bytes)").arg(bytes.size());
}

} // namespace protocol
