#pragma once
// Splits what a Telnet server sends into the data it carries and the Telnet commands between
// them. A plain class fed bytes, whatever their chunking: it keeps the state of a command cut
// in two. No socket, no option logic (Rfc2217Client decides what to answer).
//
//   IAC IAC               one data byte 0xFF
//   IAC WILL/WONT/DO/DONT option          -> a Negotiation
//   IAC SB option ... IAC SE              -> a Subnegotiation; IAC IAC inside is one 0xFF. At
//                                            most kMaxSubnegotiation bytes are kept; a longer
//                                            one comes out marked truncated.
//   IAC other command     (NOP, GA, ...)  -> a Command
// An IAC inside a subnegotiation followed by anything but IAC or SE ends the subnegotiation
// unfinished (it is dropped) and is read as a command.

#include <QByteArray>
#include <QList>
#include <cstdint>

namespace transport {

class TelnetParser {
public:
    // Longer than any COM-PORT subnegotiation but a signature text, which may be cut.
    static constexpr qsizetype kMaxSubnegotiation = 64;

    struct Event {
        enum class Kind { Negotiation, Subnegotiation, Command };
        Kind kind = Kind::Command;
        std::uint8_t command = 0; // WILL/WONT/DO/DONT, SB, or the command byte
        std::uint8_t option = 0;  // for a negotiation or subnegotiation
        QByteArray payload;       // a subnegotiation's bytes after its option, unescaped
        bool truncated = false;   // the subnegotiation was longer than kMaxSubnegotiation

        bool operator==(const Event&) const = default;
    };

    // Appends the data that `bytes` carry to `data` and the commands to `events`, in order.
    void feed(const QByteArray& bytes, QByteArray& data, QList<Event>& events);
    // Forgets a command cut off at the end of the last feed (a new connection).
    void reset();

    // Data as it goes to the server: every 0xFF doubled.
    static QByteArray escape(const QByteArray& data);
    static QByteArray negotiation(std::uint8_t verb, std::uint8_t option);
    // IAC SB option payload IAC SE, with 0xFF in the payload doubled.
    static QByteArray subnegotiation(std::uint8_t option, const QByteArray& payload);

private:
    enum class State { Data, Iac, Verb, SubOption, SubData, SubIac };

    void command(std::uint8_t byte, QList<Event>& events);

    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    std::uint8_t subOption_ = 0;
    QByteArray subPayload_;
    bool subTruncated_ = false;
};

} // namespace transport
