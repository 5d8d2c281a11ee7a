#include "transport/TelnetParser.h"

#include "transport/TelnetCodes.h"

namespace transport {

using namespace telnet;

void TelnetParser::feed(const QByteArray& bytes, QByteArray& data, QList<Event>& events) {
    for (const char c : bytes) {
        const auto byte = std::uint8_t(c);
        switch (state_) {
        case State::Data:
            if (byte == kIac)
                state_ = State::Iac;
            else
                data.append(c);
            break;
        case State::Iac:
            command(byte, events);
            if (byte == kIac)
                data.append(c);
            break;
        case State::Verb:
            events.append({Event::Kind::Negotiation, verb_, byte, {}, false});
            state_ = State::Data;
            break;
        case State::SubOption:
            subOption_ = byte;
            subPayload_.clear();
            subTruncated_ = false;
            state_ = State::SubData;
            break;
        case State::SubData:
        case State::SubIac:
            if (state_ == State::SubData && byte == kIac) {
                state_ = State::SubIac;
                break;
            }
            if (state_ == State::SubIac && byte == kSe) {
                events.append({Event::Kind::Subnegotiation, kSb, subOption_, subPayload_,
                               subTruncated_});
                subPayload_.clear();
                state_ = State::Data;
                break;
            }
            if (state_ == State::SubIac && byte != kIac) {
                // Not closed properly: drop it and read the byte as the command it is.
                subPayload_.clear();
                command(byte, events);
                break;
            }
            if (subPayload_.size() < kMaxSubnegotiation)
                subPayload_.append(c);
            else
                subTruncated_ = true;
            state_ = State::SubData;
            break;
        }
    }
}

// The byte after an IAC outside a subnegotiation.
void TelnetParser::command(std::uint8_t byte, QList<Event>& events) {
    switch (byte) {
    case kIac:
        state_ = State::Data; // an escaped data byte; the caller keeps it
        return;
    case kWill:
    case kWont:
    case kDo:
    case kDont:
        verb_ = byte;
        state_ = State::Verb;
        return;
    case kSb:
        state_ = State::SubOption;
        return;
    default:
        events.append({Event::Kind::Command, byte, 0, {}, false});
        state_ = State::Data;
        return;
    }
}

void TelnetParser::reset() {
    state_ = State::Data;
    subPayload_.clear();
    subTruncated_ = false;
}

QByteArray TelnetParser::escape(const QByteArray& data) {
    if (!data.contains(char(kIac)))
        return data;
    QByteArray escaped;
    escaped.reserve(data.size() + 8);
    for (const char c : data) {
        escaped.append(c);
        if (std::uint8_t(c) == kIac)
            escaped.append(c);
    }
    return escaped;
}

QByteArray TelnetParser::negotiation(std::uint8_t verb, std::uint8_t option) {
    const char bytes[] = {char(kIac), char(verb), char(option)};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray TelnetParser::subnegotiation(std::uint8_t option, const QByteArray& payload) {
    const char begin[] = {char(kIac), char(kSb), char(option)};
    const char end[] = {char(kIac), char(kSe)};
    return QByteArray(begin, sizeof begin) + escape(payload) + QByteArray(end, sizeof end);
}

} // namespace transport
