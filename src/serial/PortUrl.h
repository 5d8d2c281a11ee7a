#pragma once
// The name of a serial port on another machine: rfc2217://HOST:PORT (Telnet with the COM-PORT
// option, which also sets the line) or socket://HOST:PORT (the bytes only). HOST may be a name,
// an IPv4 address or an IPv6 address in brackets. Reading a name resolves and connects nothing.

#include <QString>
#include <optional>

struct PortUrl {
    enum class Scheme { Rfc2217, Socket };

    Scheme scheme = Scheme::Socket;
    QString host; // without brackets
    quint16 port = 0;

    // True for any "scheme://..." name, known or not: such a name is never a device path.
    static bool isNetworkName(const QString& name);
    // The parts of a well-formed rfc2217:// or socket:// name; none otherwise.
    static std::optional<PortUrl> parse(const QString& name);
    // Why `name` (a network name) cannot be used, for the user; empty when parse() takes it.
    static QString problem(const QString& name);

    // "pi.local:2000", "[::1]:2000": how messages name the server.
    QString hostAndPort() const;
    QString text() const; // the whole name again
};
