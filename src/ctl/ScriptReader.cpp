#include "ctl/ScriptReader.h"

#include <QStringDecoder>

namespace ctl {

QStringList ScriptReader::words(QStringView line, QString* error) {
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote; // the open quote, or null
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            } else if (quote == u'"' && c == u'\\' && i + 1 < line.size() &&
                       (line[i + 1] == u'"' || line[i + 1] == u'\\')) {
                word += line[++i];
            } else {
                word += c;
            }
            continue;
        }
        if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
            continue;
        }
        if (c == u'#' && !inWord)
            break;
        inWord = true;
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'\\' && i + 1 < line.size()) {
            word += line[++i];
        } else {
            word += c;
        }
    }
    if (!quote.isNull()) {
        if (error)
            *error = QStringLiteral("the quote %1 is not closed").arg(quote);
        return {};
    }
    if (inWord)
        words << word;
    return words;
}

ScriptError ScriptReader::read(QByteArrayView text, const TakeLine& take) {
    // Stateless: a line that ends inside a character is an error, not the start of the next.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    int number = 0;
    for (qsizetype start = 0; start < text.size();) {
        ++number;
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView bytes = text.sliced(start, end - start);
        start = end + 1;
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        utf8.resetState();
        const QString line = utf8.decode(bytes);
        if (utf8.hasError())
            return {number, QStringLiteral("the file is not UTF-8 text (save it as UTF-8)")};
        QString error;
        const QStringList words = ScriptReader::words(line, &error);
        if (!error.isEmpty())
            return {number, error};
        if (!words.isEmpty() && !take(number, words))
            break;
    }
    return {};
}

} // namespace ctl
