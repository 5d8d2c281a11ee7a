#include "picture/XbmWriter.h"

#include "protocol/CommandCode.h"

QByteArray XbmWriter::write(const protocol::Screen& bytes, const QString& name) {
    constexpr int kRowBytes = (protocol::kColumns + 7) / 8;
    QString text = QStringLiteral("#define %1_width %2\n#define %1_height %3\n"
                                  "static unsigned char %1_bits[] = {\n")
                       .arg(name)
                       .arg(protocol::kColumns)
                       .arg(protocol::kRows);
    for (int y = 0; y < protocol::kRows; ++y) {
        text += QStringLiteral("   ");
        for (int b = 0; b < kRowBytes; ++b) {
            int value = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = b * 8 + bit;
                if (x < protocol::kColumns &&
                    ((bytes[std::size_t((y / 8) * protocol::kColumns + x)] >> (y % 8)) & 1))
                    value |= 1 << bit;
            }
            text += QStringLiteral(" 0x%1,").arg(value, 2, 16, QLatin1Char('0'));
        }
        text += u'\n';
    }
    text += QStringLiteral("};\n");
    return text.toUtf8();
}
