#pragma once
// The client side of Telnet with the COM-PORT option (RFC 2217), as a plain state machine fed
// the server's bytes: no socket, no timer, so that it can be tested and fuzzed alone.
//
// It says nothing until the server has sent a Telnet command of its own (a raw TCP port never
// does; the port gives up then without having sent a byte). It then wants BINARY both ways and
// COM-PORT on its side, agrees to SUPPRESS-GO-AHEAD, and refuses every other option. Once the
// server has agreed to COM-PORT it asks for the line (rate, data size, parity, stop bits) and
// compares the server's answers with what it asked; a server that never answers is not waited
// for here (the port decides how long). No control line (DTR, RTS) is ever set.

#include "protocol/LineSettings.h"
#include "transport/TelnetParser.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace transport {

class Rfc2217Client {
public:
    // Clears everything: a new connection.
    void reset();

    // Bytes from the server: returns the serial data they carry. Answers and requests wait in
    // takeOutgoing().
    QByteArray receive(const QByteArray& bytes);
    // Telnet bytes to send now, ahead of any further data.
    QByteArray takeOutgoing();
    // The line to ask for; sent as soon as the server has agreed to COM-PORT.
    void setLine(const protocol::LineSettings& line);

    // The server has sent a Telnet command.
    bool heardTelnet() const { return heardTelnet_; }
    // BINARY both ways and COM-PORT are agreed.
    bool agreed() const;
    // The line has been asked for and every setting has been answered.
    bool lineAnswered() const;
    // What went wrong, in words that follow the server's name ("refused the COM-PORT option");
    // empty while nothing did.
    QString failure() const { return failure_; }
    // The server asked to hold the data (FLOWCONTROL-SUSPEND) and has not resumed it yet.
    bool suspended() const { return suspended_; }

    // Data as it goes to the server: 0xFF doubled.
    static QByteArray encode(const QByteArray& data) { return TelnetParser::escape(data); }

private:
    // One side of one option (RFC 1143, without the queue bit: this client asks once).
    enum class Side { No, Yes, WantYes };
    struct Option {
        Side ours = Side::No;   // we WILL
        Side theirs = Side::No; // they WILL
    };
    Option& option(std::uint8_t code);
    void negotiate(std::uint8_t verb, std::uint8_t code);
    void subnegotiate(const TelnetParser::Event& event);
    void answered(int bit, bool asAsked, const QString& got, const QString& asked);
    void requestOptions();
    void requestLine();
    void fail(const QString& failure);
    void send(const QByteArray& bytes) { outgoing_ += bytes; }

    TelnetParser parser_;
    QByteArray outgoing_;
    bool heardTelnet_ = false;
    bool optionsRequested_ = false;
    Option binary_;
    Option comPort_;
    Option suppressGoAhead_;
    Option other_; // any other option: never agreed, so never held

    std::optional<protocol::LineSettings> line_;
    bool lineRequested_ = false;
    unsigned answered_ = 0; // one bit per setting the server has answered
    QString failure_;
    bool suspended_ = false;
};

} // namespace transport
