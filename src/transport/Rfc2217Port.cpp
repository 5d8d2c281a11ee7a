#include "transport/Rfc2217Port.h"

namespace transport {

Rfc2217Port::Rfc2217Port(PortMap portMap, QObject* parent) : TcpPort(std::move(portMap), parent) {
    negotiationTimer_.setSingleShot(true);
    answerTimer_.setSingleShot(true);
    connect(&negotiationTimer_, &QTimer::timeout, this, [this] {
        if (phase() == Phase::Handshake && !client_.heardTelnet())
            noServer();
    });
    connect(&answerTimer_, &QTimer::timeout, this, [this] {
        // A server that does not answer line settings: go on with what it agreed to.
        if (phase() == Phase::Handshake && client_.agreed())
            finishOpening();
    });
}

void Rfc2217Port::startHandshake() {
    client_.reset();
    client_.setLine(settings());
    answerTimer_.stop();
    negotiationTimer_.start(kNegotiationMs);
}

QByteArray Rfc2217Port::fromServer(const QByteArray& bytes) {
    const QByteArray data = client_.receive(bytes);
    sendNow(client_.takeOutgoing());
    if (phase() == Phase::Handshake) {
        checkHandshake();
    } else if (phase() == Phase::Open && !client_.failure().isEmpty()) {
        loseConnection(QStringLiteral("%1 %2.").arg(url().hostAndPort(), client_.failure()));
        return {};
    }
    return data;
}

void Rfc2217Port::checkHandshake() {
    if (!client_.failure().isEmpty()) {
        failOpening(PortError::UnsupportedOperation,
                    QStringLiteral("%1 %2.").arg(url().hostAndPort(), client_.failure()));
        return;
    }
    if (!client_.heardTelnet())
        return;
    negotiationTimer_.stop();
    if (client_.agreed() && client_.lineAnswered()) {
        answerTimer_.stop();
        finishOpening();
    } else if (client_.agreed() && !answerTimer_.isActive()) {
        answerTimer_.start(kAnswerWaitMs);
    }
}

void Rfc2217Port::noServer() {
    failOpening(PortError::UnsupportedOperation,
                QStringLiteral("no RFC 2217 server at %1; for a raw TCP port use socket://")
                    .arg(url().hostAndPort()));
}

void Rfc2217Port::openingTimedOut() {
    if (phase() == Phase::Handshake && !client_.heardTelnet()) {
        noServer();
        return;
    }
    if (phase() == Phase::Handshake) {
        failOpening(PortError::Timeout,
                    QStringLiteral("Cannot open %1: the server did not agree to BINARY and "
                                   "COM-PORT (RFC 2217) within %2 s.")
                        .arg(url().hostAndPort())
                        .arg(kOpenTimeoutMs / 1000));
        return;
    }
    TcpPort::openingTimedOut();
}

} // namespace transport
