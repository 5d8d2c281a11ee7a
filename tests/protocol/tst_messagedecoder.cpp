// What the traffic monitor and the command line read for the bytes sent to the board.

#include "protocol/MessageDecoder.h"

#include <QTest>

using protocol::MessageDecoder;

class tst_MessageDecoder : public QObject {
    Q_OBJECT
private slots:
    void chunks_data();
    void chunks();
};

// Each row: the chunks as written, and what each reads as; chunks separated by "|".
void tst_MessageDecoder::chunks_data() {
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("expected");
    auto row = [](const char* name, QList<QByteArray> chunks, QStringList expected) {
        QTest::newRow(name) << chunks << expected;
    };
    row("page", {QByteArray("\x06\x00", 2)}, {"SetPage 0"});
    row("pattern in hex", {"\x03\x3C"}, {"PutPattern 0x3C"});
    row("identify hides its fixed byte", {"\x49\x44"}, {"Identify"});
    row("rectangle names its figure", {QByteArray("\x1F\x01\x0A\x14\x1E\x28", 6)},
        {"DrawLineRect Outline 10 20 30 40"});
    row("pixel in two writes", {"\x0A\x01", "\x05\x07"}, {"DrawPixel …", "… DrawPixel 5 7"});
    row("string key by key", {"\x26H", "i", "\r"},
        {"BeginString \"H\" …", "… \"i\" …", "… BeginString \"Hi\""});
    row("two messages in one write", {QByteArray("\x06\x02\x12\x00", 4)},
        {"SetPage 2; SetColumn 0"});
    row("unknown byte shown", {"\x99\x06\x01"}, {"unknown 0x99; SetPage 1"});
    row("out of range marked", {"\x06\x11"}, {"SetPage 0x11 (page out of range 0..15)"});
    row("quote and control escaped", {"\x26\"\x01\r"}, {"BeginString \"\\\"\\x01\""});
    row("string ends at 45 characters", {"\x26" + QByteArray(45, 'a') + "\x06\x03"},
        {"BeginString \"" + QString(45, u'a') + "\"; SetPage 3"});
    row("parameter bytes still missing", {QByteArray("\x1F\x00", 2), "\x01", "\x02\x03\x04"},
        {"DrawLineRect …", "… 2 of 5 parameter bytes …", "… DrawLineRect Line 1 2 3 4"});
}

void tst_MessageDecoder::chunks() {
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, expected);
    MessageDecoder decoder;
    QStringList read;
    for (const QByteArray& chunk : chunks)
        read << decoder.feed(chunk);
    QCOMPARE(read, expected);
    QVERIFY(!decoder.midMessage());
}

QTEST_APPLESS_MAIN(tst_MessageDecoder)
#include "tst_messagedecoder.moc"
