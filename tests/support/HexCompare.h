#pragma once
// Byte comparisons that print both sides as hex on failure.

#include <QByteArray>
#include <QList>
#include <QTest>

inline QByteArray hexOf(const QByteArray& bytes) {
    return bytes.toHex(' ').toUpper();
}

inline QByteArray hexOf(const QList<QByteArray>& writes) {
    QByteArrayList parts;
    for (const QByteArray& w : writes)
        parts << hexOf(w);
    return "[" + parts.join(" | ") + "]";
}

// Bytes from a hex text such as "1F 02 0A".
inline QByteArray bytesOf(const char* hex) {
    return QByteArray::fromHex(QByteArray(hex));
}

// A list of writes from hex texts separated by '|': "02 48 | 02 69".
inline QList<QByteArray> writesOf(const char* hexWrites) {
    QList<QByteArray> writes;
    const QByteArray text(hexWrites);
    if (text.trimmed().isEmpty())
        return writes;
    for (const QByteArray& part : text.split('|'))
        writes << QByteArray::fromHex(part.trimmed());
    return writes;
}

#define COMPARE_HEX(actual, expected) QCOMPARE(hexOf(actual), hexOf(expected))
