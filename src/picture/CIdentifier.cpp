#include "picture/CIdentifier.h"

#include <QSet>

namespace {

// C23 and C++ keywords, and the names a header of ours relies on.
const QSet<QString>& reservedWords() {
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char* w :
             {"alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool",
              "break", "case", "catch", "char", "char8_t", "char16_t", "char32_t", "class",
              "compl", "concept", "const", "consteval", "constexpr", "constinit", "const_cast",
              "continue", "co_await", "co_return", "co_yield", "decltype", "default", "delete",
              "do", "double", "dynamic_cast", "else", "enum", "explicit", "export", "extern",
              "false", "float", "for", "friend", "goto", "if", "inline", "int", "long",
              "mutable", "namespace", "new", "noexcept", "not", "not_eq", "nullptr", "operator",
              "or", "or_eq", "private", "protected", "public", "register", "reinterpret_cast",
              "requires", "restrict", "return", "short", "signed", "sizeof", "static",
              "static_assert", "static_cast", "struct", "switch", "template", "this",
              "thread_local", "throw", "true", "try", "typedef", "typeid", "typename", "typeof",
              "typeof_unqual", "union", "unsigned", "using", "virtual", "void", "volatile",
              "wchar_t", "while", "xor", "xor_eq", "uint8_t", "main"})
            set.insert(QLatin1String(w));
        return set;
    }();
    return words;
}

bool asciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool asciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

QString CIdentifier::of(const QString& name) {
    QString id;
    bool gap = false; // runs of other characters become one underscore
    for (QChar c : name) {
        if (asciiLetter(c) || asciiDigit(c)) {
            if (gap && !id.isEmpty())
                id += u'_';
            gap = false;
            id += c;
        } else {
            gap = true; // underscores too: a leading or doubled underscore is reserved
        }
    }
    if (id.isEmpty())
        return QStringLiteral("screen");
    if (asciiDigit(id.front()))
        id.prepend(QStringLiteral("screen_"));
    if (reservedWords().contains(id))
        id += QStringLiteral("_screen");
    return id;
}
