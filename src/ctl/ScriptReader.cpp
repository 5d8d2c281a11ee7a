#include "ctl/ScriptReader.h"

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

ScriptText ScriptReader::split(const QString& text) {
    ScriptText result;
    int number = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        ++number;
        if (line.endsWith(u'\r'))
            line.chop(1);
        QString error;
        const QStringList words = ScriptReader::words(line, &error);
        if (!error.isEmpty()) {
            result.errorLine = number;
            result.error = error;
            result.lines.clear();
            return result;
        }
        if (!words.isEmpty())
            result.lines.append({number, words});
    }
    return result;
}

} // namespace ctl
