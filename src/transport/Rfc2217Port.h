#pragma once
// rfc2217://HOST:PORT: the board's line served as Telnet with the COM-PORT option (ser2net's
// "telnet(rfc2217)" accepter). TcpPort's connection, pacing and bounds, plus the handshake of
// Rfc2217Client:
//
//   connected -> wait for the server's own Telnet negotiation, sending nothing; none within
//                kNegotiationMs: not an RFC 2217 server, closed without a byte sent
//             -> BINARY both ways and COM-PORT agreed, the line asked for (rate, 8N1)
//             -> every setting answered as asked, or kAnswerWaitMs without an answer: open
// A refusal of an option or another rate than asked fails the opening; whatever the server sent
// meanwhile (its banner) is dropped. The rate changes by opening again at the new rate (the
// session closes and reopens the port for a change of rate).

#include "transport/Rfc2217Client.h"
#include "transport/TcpPort.h"

#include <QTimer>

namespace transport {

class Rfc2217Port : public TcpPort {
    Q_OBJECT
public:
    static constexpr int kNegotiationMs = 1000;
    static constexpr int kAnswerWaitMs = 500;

    explicit Rfc2217Port(PortMap portMap, QObject* parent = nullptr);

    QString rateChangeRefusal() const override { return {}; }

protected:
    void startHandshake() override;
    QByteArray fromServer(const QByteArray& bytes) override;
    QByteArray toServer(const QByteArray& data) const override {
        return Rfc2217Client::encode(data);
    }
    bool holdsOutput() const override { return client_.suspended(); }
    void openingTimedOut() override;

private:
    void checkHandshake();
    void noServer();

    Rfc2217Client client_;
    QTimer negotiationTimer_;
    QTimer answerTimer_;
};

} // namespace transport
