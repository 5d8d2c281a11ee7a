// Bytes from a Telnet/RFC 2217 server (rfc2217:// ports): the parser and the COM-PORT client as
// Rfc2217Port feeds them, in pieces cut by the first input byte. The stream fed whole and fed in
// pieces must give the same data, events and answers; a subnegotiation keeps at most
// kMaxSubnegotiation bytes; the client answers in proportion to what it was sent (a flood of
// requests cannot make it queue more than a few bytes for each byte received).

#include "transport/Rfc2217Client.h"
#include "transport/TelnetParser.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

struct Run {
    QByteArray data;
    QList<transport::TelnetParser::Event> events;
    QByteArray clientData;
    QByteArray answers;
};

Run feed(const QByteArray& stream, unsigned cut, bool whole) {
    Run run;
    transport::TelnetParser parser;
    transport::Rfc2217Client client;
    client.setLine(*protocol::LineSettings::ofRateIndex(int(cut % 9)));
    unsigned step = 0;
    for (qsizetype at = 0; at < stream.size(); ++step) {
        const qsizetype n = whole ? stream.size()
                                  : std::min<qsizetype>(1 + ((cut >> (step % 5)) + step) % 13,
                                                        stream.size() - at);
        const QByteArray piece = stream.mid(at, n);
        at += n;
        parser.feed(piece, run.data, run.events);
        run.clientData += client.receive(piece);
        const QByteArray answer = client.takeOutgoing();
        check(answer.size() <= 8 * piece.size() + 256, "answers in proportion");
        run.answers += answer;
    }
    return run;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned cut = data[0];
    const QByteArray stream(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    const Run whole = feed(stream, cut, true);
    const Run pieces = feed(stream, cut, false);
    check(whole.data.size() <= stream.size(), "no more data than bytes");
    check(whole.data == whole.clientData, "the client passes the parser's data");
    for (const transport::TelnetParser::Event& event : whole.events)
        check(event.payload.size() <= transport::TelnetParser::kMaxSubnegotiation,
              "subnegotiation bounded");
    check(pieces.data == whole.data, "same data whole and in pieces");
    check(pieces.events == whole.events, "same events whole and in pieces");
    // The answers may differ: a request goes out after the first piece that holds a command,
    // not after the whole, and the server's later commands then meet another state.

    // Data escaped for the server reads back as the same data.
    transport::TelnetParser back;
    QByteArray unescaped;
    QList<transport::TelnetParser::Event> none;
    back.feed(transport::TelnetParser::escape(stream), unescaped, none);
    check(unescaped == stream && none.isEmpty(), "escape reads back");
    return 0;
}
