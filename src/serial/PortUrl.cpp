#include "serial/PortUrl.h"

#include <QRegularExpression>

namespace {

const QString kRfc2217 = QStringLiteral("rfc2217://");
const QString kSocket = QStringLiteral("socket://");

// HOST:PORT, with an IPv6 host in brackets. The host is checked for characters a host name or
// address can have; whether it exists is found out when connecting.
const QRegularExpression& hostPortPattern() {
    static const QRegularExpression pattern(
        QStringLiteral("^(?:\\[([0-9A-Fa-f:.]+)\\]|([A-Za-z0-9._-]+)):([0-9]{1,5})/?$"));
    return pattern;
}

} // namespace

bool PortUrl::isNetworkName(const QString& name) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(name.trimmed()).hasMatch();
}

std::optional<PortUrl> PortUrl::parse(const QString& name) {
    const QString text = name.trimmed();
    PortUrl url;
    QString rest;
    if (text.startsWith(kRfc2217, Qt::CaseInsensitive)) {
        url.scheme = Scheme::Rfc2217;
        rest = text.mid(kRfc2217.size());
    } else if (text.startsWith(kSocket, Qt::CaseInsensitive)) {
        url.scheme = Scheme::Socket;
        rest = text.mid(kSocket.size());
    } else {
        return std::nullopt;
    }
    const auto match = hostPortPattern().match(rest);
    if (!match.hasMatch())
        return std::nullopt;
    const int port = match.captured(3).toInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    url.host = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
    url.port = quint16(port);
    return url;
}

QString PortUrl::problem(const QString& name) {
    if (parse(name))
        return {};
    const QString text = name.trimmed();
    if (!text.startsWith(kRfc2217, Qt::CaseInsensitive) &&
        !text.startsWith(kSocket, Qt::CaseInsensitive))
        return QStringLiteral("\"%1\" is no port this program can open: a network port is "
                              "rfc2217://HOST:PORT or socket://HOST:PORT.")
            .arg(text);
    return QStringLiteral("\"%1\" names no server: write it as rfc2217://HOST:PORT or "
                          "socket://HOST:PORT, with a port number from 1 to 65535.")
        .arg(text);
}

QString PortUrl::hostAndPort() const {
    const QString shownHost = host.contains(u':') ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("%1:%2").arg(shownHost).arg(port);
}

QString PortUrl::text() const {
    return (scheme == Scheme::Rfc2217 ? kRfc2217 : kSocket) + hostAndPort();
}
