#include "transport/Rfc2217Client.h"

#include "transport/TelnetCodes.h"

namespace transport {

using namespace telnet;

namespace {

// What the server is told this client is, when it asks.
const QByteArray kOurSignature = QByteArrayLiteral("Vantrel");

constexpr unsigned kAllAnswered = 0xF; // rate, data size, parity, stop bits

bool weWill(std::uint8_t code) {
    return code == kBinary || code == kComPort || code == kSuppressGoAhead;
}

bool theyMay(std::uint8_t code) {
    return code == kBinary || code == kSuppressGoAhead;
}

std::uint8_t parityCode(char parity) {
    switch (parity) {
    case 'O':
        return comport::kParityOdd;
    case 'E':
        return comport::kParityEven;
    default:
        return comport::kParityNone;
    }
}

QByteArray bigEndian32(quint32 value) {
    const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, sizeof bytes);
}

} // namespace

void Rfc2217Client::reset() {
    *this = Rfc2217Client();
}

Rfc2217Client::Option& Rfc2217Client::option(std::uint8_t code) {
    switch (code) {
    case kBinary:
        return binary_;
    case kComPort:
        return comPort_;
    case kSuppressGoAhead:
        return suppressGoAhead_;
    default:
        other_ = {};
        return other_;
    }
}

QByteArray Rfc2217Client::receive(const QByteArray& bytes) {
    QByteArray data;
    QList<TelnetParser::Event> events;
    parser_.feed(bytes, data, events);
    for (const TelnetParser::Event& event : std::as_const(events)) {
        heardTelnet_ = true;
        if (event.kind == TelnetParser::Event::Kind::Negotiation)
            negotiate(event.command, event.option);
        else if (event.kind == TelnetParser::Event::Kind::Subnegotiation &&
                 event.option == kComPort && !event.truncated && !event.payload.isEmpty())
            subnegotiate(event);
    }
    if (heardTelnet_ && !optionsRequested_)
        requestOptions();
    requestLine();
    return data;
}

QByteArray Rfc2217Client::takeOutgoing() {
    return std::exchange(outgoing_, {});
}

void Rfc2217Client::setLine(const protocol::LineSettings& line) {
    line_ = line;
    lineRequested_ = false;
    answered_ = 0;
    requestLine();
}

bool Rfc2217Client::agreed() const {
    return binary_.ours == Side::Yes && binary_.theirs == Side::Yes && comPort_.ours == Side::Yes;
}

bool Rfc2217Client::lineAnswered() const {
    return lineRequested_ && answered_ == kAllAnswered;
}

// Answers only what changes an option's state, so that two parties never loop.
void Rfc2217Client::negotiate(std::uint8_t verb, std::uint8_t code) {
    Option& o = option(code);
    switch (verb) {
    case kWill:
        if (o.theirs == Side::Yes)
            return;
        if (!theyMay(code)) {
            send(TelnetParser::negotiation(kDont, code));
            return;
        }
        if (o.theirs == Side::No)
            send(TelnetParser::negotiation(kDo, code));
        o.theirs = Side::Yes;
        return;
    case kWont:
        if (o.theirs == Side::No)
            return;
        if (o.theirs == Side::Yes)
            send(TelnetParser::negotiation(kDont, code));
        o.theirs = Side::No;
        if (code == kBinary)
            fail(QStringLiteral("refused to send binary data (Telnet BINARY)"));
        return;
    case kDo:
        if (o.ours == Side::Yes)
            return;
        if (!weWill(code)) {
            send(TelnetParser::negotiation(kWont, code));
            return;
        }
        if (o.ours == Side::No)
            send(TelnetParser::negotiation(kWill, code));
        o.ours = Side::Yes;
        return;
    case kDont:
        if (o.ours == Side::No)
            return;
        if (o.ours == Side::Yes)
            send(TelnetParser::negotiation(kWont, code));
        o.ours = Side::No;
        if (code == kBinary)
            fail(QStringLiteral("refused to take binary data (Telnet BINARY)"));
        else if (code == kComPort)
            fail(QStringLiteral("refused the COM-PORT option (RFC 2217), so the line cannot be "
                                "set"));
        return;
    default:
        return;
    }
}

void Rfc2217Client::requestOptions() {
    optionsRequested_ = true;
    if (binary_.ours == Side::No) {
        send(TelnetParser::negotiation(kWill, kBinary));
        binary_.ours = Side::WantYes;
    }
    if (binary_.theirs == Side::No) {
        send(TelnetParser::negotiation(kDo, kBinary));
        binary_.theirs = Side::WantYes;
    }
    if (comPort_.ours == Side::No) {
        send(TelnetParser::negotiation(kWill, kComPort));
        comPort_.ours = Side::WantYes;
    }
}

void Rfc2217Client::requestLine() {
    if (!line_ || lineRequested_ || comPort_.ours != Side::Yes)
        return;
    lineRequested_ = true;
    answered_ = 0;
    using namespace comport;
    const auto sub = [this](std::uint8_t subcommand, const QByteArray& value) {
        send(TelnetParser::subnegotiation(kComPort, char(subcommand) + value));
    };
    sub(kSetBaudRate, bigEndian32(quint32(line_->baud)));
    sub(kSetDataSize, QByteArray(1, char(line_->dataBits)));
    sub(kSetParity, QByteArray(1, char(parityCode(line_->parity))));
    sub(kSetStopSize, QByteArray(1, char(line_->stopBits == 2 ? kStopTwo : kStopOne)));
}

void Rfc2217Client::subnegotiate(const TelnetParser::Event& event) {
    using namespace comport;
    const auto subcommand = std::uint8_t(event.payload.at(0));
    const QByteArray value = event.payload.mid(1);
    const auto byteValue = [&value] { return value.size() == 1 ? int(std::uint8_t(value[0])) : -1; };
    switch (subcommand) {
    case kServerOffset + kSignature:
        if (value.isEmpty()) // the server asks who we are
            send(TelnetParser::subnegotiation(kComPort, char(kSignature) + kOurSignature));
        return;
    case kServerOffset + kSetBaudRate:
        if (value.size() == 4 && line_) {
            const quint32 baud = quint32(std::uint8_t(value[0])) << 24 |
                                 quint32(std::uint8_t(value[1])) << 16 |
                                 quint32(std::uint8_t(value[2])) << 8 | std::uint8_t(value[3]);
            answered(0, baud == quint32(line_->baud), QStringLiteral("%1 baud").arg(baud),
                     QStringLiteral("%1 baud").arg(line_->baud));
        }
        return;
    case kServerOffset + kSetDataSize:
        if (line_)
            answered(1, byteValue() == line_->dataBits,
                     QStringLiteral("%1 data bits").arg(byteValue()),
                     QStringLiteral("%1 data bits").arg(line_->dataBits));
        return;
    case kServerOffset + kSetParity:
        if (line_)
            answered(2, byteValue() == parityCode(line_->parity),
                     QStringLiteral("parity code %1").arg(byteValue()),
                     QStringLiteral("parity %1").arg(QChar::fromLatin1(line_->parity)));
        return;
    case kServerOffset + kSetStopSize:
        if (line_)
            answered(3, byteValue() == (line_->stopBits == 2 ? kStopTwo : kStopOne),
                     QStringLiteral("stop-bit code %1").arg(byteValue()),
                     QStringLiteral("%1 stop bit(s)").arg(line_->stopBits));
        return;
    case kServerOffset + kFlowControlSuspend:
        suspended_ = true;
        return;
    case kServerOffset + kFlowControlResume:
        suspended_ = false;
        return;
    default:
        return; // line and modem state notices, purges: nothing to do
    }
}

void Rfc2217Client::answered(int bit, bool asAsked, const QString& got, const QString& asked) {
    if (!lineRequested_)
        return; // an answer to a question this client did not ask
    answered_ |= 1u << bit;
    if (!asAsked)
        fail(QStringLiteral("set the line to %1 instead of %2").arg(got, asked));
}

void Rfc2217Client::fail(const QString& failure) {
    if (failure_.isEmpty())
        failure_ = failure;
}

} // namespace transport
