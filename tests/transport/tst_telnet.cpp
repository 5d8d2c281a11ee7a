// The Telnet parser and the RFC 2217 client, fed bytes as a server sends them (no socket).
#include "support/HexCompare.h"
#include "transport/Rfc2217Client.h"
#include "transport/TelnetParser.h"

#include <QTest>

using transport::Rfc2217Client;
using transport::TelnetParser;

namespace {

// Events as one line each: "WILL 01", "SB 2C 65 00 00 FF", "SB 2C (cut) ...", "CMD F1".
QByteArray describe(const QList<TelnetParser::Event>& events) {
    QByteArrayList lines;
    const char* verbs[] = {"WILL", "WONT", "DO", "DONT"};
    for (const auto& e : events) {
        const QByteArray option = hexOf(QByteArray(1, char(e.option)));
        if (e.kind == TelnetParser::Event::Kind::Negotiation)
            lines << QByteArray(verbs[e.command - 251]) + ' ' + option;
        else if (e.kind == TelnetParser::Event::Kind::Subnegotiation)
            lines << "SB " + option + (e.truncated ? " (cut) " : " ") + hexOf(e.payload);
        else
            lines << "CMD " + hexOf(QByteArray(1, char(e.command)));
    }
    return lines.join(" / ");
}

// What ser2net sends on a telnet(rfc2217) accepter: WILL SGA, DO SGA, WILL ECHO, DONT ECHO,
// DO BINARY, WILL BINARY, DO COM-PORT.
const char* const kSer2netGreeting = "FF FB 03 FF FD 03 FF FB 01 FF FE 01 FF FD 00 FF FB 00 FF FD 2C";
// Its answers: DO SGA, WILL SGA, DONT ECHO, WILL BINARY, DO BINARY, WILL COM-PORT.
const char* const kGreetingAnswers = "FF FD 03 FF FB 03 FF FE 01 FF FB 00 FF FD 00 FF FB 2C";
// SET-BAUDRATE 115200, SET-DATASIZE 8, SET-PARITY none, SET-STOPSIZE 1.
const char* const kLineAt115200 = "FF FA 2C 01 00 01 C2 00 FF F0 FF FA 2C 02 08 FF F0 "
                                  "FF FA 2C 03 01 FF F0 FF FA 2C 04 01 FF F0";

} // namespace

class tst_Telnet : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void everyByteSurvivesEscaping();
    void dialogue_data();
    void dialogue();
};

void tst_Telnet::parse_data() {
    QTest::addColumn<QStringList>("chunks"); // hex, fed one after the other
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("events");
    const QByteArray long70(70, '\x11');
    QTest::newRow("FF doubled, cut between") << QStringList{"41 FF", "FF 42"} << bytesOf("41 FF 42")
                                             << QByteArray();
    QTest::newRow("negotiation cut twice") << QStringList{"FF", "FB", "01 43"} << bytesOf("43")
                                           << QByteArray("WILL 01");
    QTest::newRow("ser2net greeting and banner")
        << QStringList{QString(kSer2netGreeting) + " 68 69"} << bytesOf("68 69")
        << QByteArray("WILL 03 / DO 03 / WILL 01 / DONT 01 / DO 00 / WILL 00 / DO 2C");
    QTest::newRow("subnegotiation with FF in it")
        << QStringList{"FF FA 2C 65 00 00 FF FF FF F0 41"} << bytesOf("41")
        << QByteArray("SB 2C 65 00 00 FF");
    QTest::newRow("subnegotiation cut at its IAC")
        << QStringList{"FF FA 2C 66 08 FF", "F0 41"} << bytesOf("41") << QByteArray("SB 2C 66 08");
    QTest::newRow("subnegotiation too long")
        << QStringList{"FF FA 2C " + QString(long70.toHex(' ')) + " FF F0"} << QByteArray()
        << "SB 2C (cut) " + hexOf(long70.left(TelnetParser::kMaxSubnegotiation));
    QTest::newRow("subnegotiation never closed")
        << QStringList{"FF FA 2C 01 02 FF FB 01 41"} << bytesOf("41") << QByteArray("WILL 01");
    QTest::newRow("other commands") << QStringList{"FF F1 41 FF F9"} << bytesOf("41")
                                    << QByteArray("CMD F1 / CMD F9");
}

void tst_Telnet::parse() {
    QFETCH(QStringList, chunks);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, events);
    TelnetParser parser;
    QByteArray gotData;
    QList<TelnetParser::Event> gotEvents;
    for (const QString& chunk : chunks)
        parser.feed(QByteArray::fromHex(chunk.toLatin1()), gotData, gotEvents);
    COMPARE_HEX(gotData, data);
    QCOMPARE(describe(gotEvents), events);
}

void tst_Telnet::everyByteSurvivesEscaping() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    all += all; // 0xFF next to 0x00 and at the end
    QByteArray back;
    QList<TelnetParser::Event> events;
    TelnetParser parser;
    parser.feed(TelnetParser::escape(all), back, events);
    COMPARE_HEX(back, all);
    QVERIFY(events.isEmpty());
    COMPARE_HEX(TelnetParser::subnegotiation(44, bytesOf("01 00 FF 00")),
                bytesOf("FF FA 2C 01 00 FF FF 00 FF F0"));
}

void tst_Telnet::dialogue_data() {
    // The server's chunks, each answered before the next; the client wants 115200 8N1.
    QTest::addColumn<QStringList>("server");
    QTest::addColumn<QByteArray>("sent");  // everything the client sent, in order
    QTest::addColumn<QByteArray>("data");  // the serial data it passed on
    QTest::addColumn<bool>("agreed");      // BINARY both ways and COM-PORT
    QTest::addColumn<bool>("answered");    // every line setting answered
    QTest::addColumn<QString>("failure");  // a part of the failure, or empty
    QTest::addColumn<bool>("suspended");

    const QString acks = "FF FA 2C 65 00 01 C2 00 FF F0 FF FA 2C 66 08 FF F0 "
                         "FF FA 2C 67 01 FF F0 FF FA 2C 68 01 FF F0";
    const QByteArray toLine = bytesOf(kGreetingAnswers) + bytesOf(kLineAt115200);
    QTest::newRow("raw port: a banner and no Telnet")
        << QStringList{"39 36 30 30 4E 38 31 0D 0A"} << QByteArray() << bytesOf("39 36 30 30 4E 38 31 0D 0A")
        << false << false << QString() << false;
    QTest::newRow("ser2net: greeting, banner, answers")
        << QStringList{QString(kSer2netGreeting) + " 68 69", "FF FA 2C 6B 00 FF F0", acks}
        << toLine << bytesOf("68 69") << true << true << QString() << false;
    QTest::newRow("server that never answers the line")
        << QStringList{kSer2netGreeting} << toLine << QByteArray() << true << false << QString()
        << false;
    QTest::newRow("server runs another rate")
        << QStringList{kSer2netGreeting, "FF FA 2C 65 00 00 25 80 FF F0"} << toLine << QByteArray()
        << true << false << QString("set the line to 9600 baud instead of 115200 baud") << false;
    QTest::newRow("plain Telnet server refuses COM-PORT")
        << QStringList{"FF FB 01", "FF FD 00 FF FB 00 FF FE 2C"}
        << bytesOf("FF FE 01 FF FB 00 FF FD 00 FF FB 2C") << QByteArray() << false << false
        << QString("refused the COM-PORT option") << false;
    QTest::newRow("server refuses to send binary")
        << QStringList{"FF FD 2C", "FF FC 00"}
        << bytesOf("FF FB 2C FF FB 00 FF FD 00") + bytesOf(kLineAt115200) << QByteArray()
        << false << false << QString("refused to send binary data") << false;
    QTest::newRow("unknown options refused, asked twice")
        << QStringList{"FF FD 05 FF FB 18 FF FD 05"}
        << bytesOf("FF FC 05 FF FE 18 FF FC 05 FF FB 00 FF FD 00 FF FB 2C") << QByteArray() << false
        << false << QString() << false;
    QTest::newRow("flow held") << QStringList{kSer2netGreeting, "FF FA 2C 6C FF F0 41 FF FF"}
                               << toLine << bytesOf("41 FF") << true << false << QString() << true;
}

void tst_Telnet::dialogue() {
    QFETCH(QStringList, server);
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, data);
    QFETCH(bool, agreed);
    QFETCH(bool, answered);
    QFETCH(QString, failure);
    QFETCH(bool, suspended);
    Rfc2217Client client;
    client.setLine(*protocol::LineSettings::fromText(QStringLiteral("115200,N,8,1")));
    QByteArray gotSent = client.takeOutgoing(); // nothing before the server has spoken
    QByteArray gotData;
    for (const QString& chunk : server) {
        gotData += client.receive(QByteArray::fromHex(chunk.toLatin1()));
        gotSent += client.takeOutgoing();
    }
    COMPARE_HEX(gotSent, sent);
    COMPARE_HEX(gotData, data);
    QCOMPARE(client.heardTelnet(), !sent.isEmpty());
    QCOMPARE(client.agreed(), agreed);
    QCOMPARE(client.lineAnswered(), answered);
    if (failure.isEmpty())
        QCOMPARE(client.failure(), QString());
    else
        QVERIFY2(client.failure().contains(failure), qPrintable(client.failure()));
    QCOMPARE(client.suspended(), suspended);
}

QTEST_GUILESS_MAIN(tst_Telnet)
#include "tst_telnet.moc"
