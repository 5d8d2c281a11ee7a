#include "picture/CScreenWriter.h"

#include "protocol/CommandCode.h"

namespace {

QString comment(const QString& name, const QString& origin, const QString& conversion) {
    QString c = QStringLiteral("/* %1: the screen of a QD70315 LCD board, %2 x %3 pixels, written "
                               "by Vantrel.\n")
                    .arg(name)
                    .arg(protocol::kColumns)
                    .arg(protocol::kRows);
    c += QStringLiteral(" * Source: %1\n").arg(CScreenWriter::commentText(origin));
    c += QStringLiteral(" * Conversion: %1\n").arg(CScreenWriter::commentText(conversion));
    c += QStringLiteral(" * Layout: %1 page bytes in upload order, page 0 to %2, each column 0 to "
                        "%3\n"
                        " * (byte page * %4 + column); bit 0 is the top pixel row of the page, "
                        "bit 7 the\n"
                        " * bottom one; a set bit is a lit pixel. Send them after SetPage 0 and "
                        "SetColumn 0,\n"
                        " * one PutPattern each.\n */\n")
             .arg(protocol::kScreenBytes)
             .arg(protocol::kPages - 1)
             .arg(protocol::kColumns - 1)
             .arg(protocol::kColumns);
    return c;
}

QString body(const protocol::Screen& bytes) {
    QString text;
    for (int page = 0; page < protocol::kPages; ++page) {
        text += QStringLiteral("    /* page %1 */\n").arg(page);
        for (int column = 0; column < protocol::kColumns; column += CScreenWriter::kBytesPerLine) {
            text += QStringLiteral("   ");
            for (int i = 0; i < CScreenWriter::kBytesPerLine; ++i)
                text += QStringLiteral(" 0x%1,").arg(
                    bytes[std::size_t(page * protocol::kColumns + column + i)], 2, 16,
                    QLatin1Char('0'));
            text += u'\n';
        }
    }
    return text;
}

QString guardOf(const QString& name) {
    return QStringLiteral("VANTREL_SCREEN_%1_H").arg(name.toUpper());
}

} // namespace

QString CScreenWriter::commentText(const QString& text) {
    QString safe;
    for (QChar c : text)
        safe += c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                        c == QChar::ParagraphSeparator
                    ? u'?'
                    : c;
    return safe.replace(QStringLiteral("*/"), QStringLiteral("* /"))
        .replace(QStringLiteral("/*"), QStringLiteral("/ *"));
}

QByteArray CScreenWriter::header(const protocol::Screen& bytes, const QString& name,
                                 const QString& origin, const QString& conversion) {
    const QString guard = guardOf(name);
    QString text = comment(name, origin, conversion);
    text += QStringLiteral("#ifndef %1\n#define %1\n\n#include <stdint.h>\n\n").arg(guard);
    text += QStringLiteral("static const uint8_t %1[%2] = {\n").arg(name).arg(protocol::kScreenBytes);
    text += body(bytes);
    text += QStringLiteral("};\n\n#endif /* %1 */\n").arg(guard);
    return text.toUtf8();
}

QByteArray CScreenWriter::source(const protocol::Screen& bytes, const QString& name,
                                 const QString& origin, const QString& conversion) {
    QString text = comment(name, origin, conversion);
    text += QStringLiteral("#include <stdint.h>\n\n/* Elsewhere: extern const uint8_t %1[%2]; */\n")
                .arg(name)
                .arg(protocol::kScreenBytes);
    text += QStringLiteral("const uint8_t %1[%2] = {\n").arg(name).arg(protocol::kScreenBytes);
    text += body(bytes);
    text += QStringLiteral("};\n");
    return text.toUtf8();
}
