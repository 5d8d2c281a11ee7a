#pragma once
// socket://HOST:PORT: the board's line served raw over TCP (ser2net's "tcp" accepter), and the
// base of Rfc2217Port, which adds Telnet on the same connection.
//
// Opening runs in the background (openPort() returns pending, openFinished() follows): host
// lookup and connection within kOpenTimeoutMs, then the handshake. A raw port has none: what
// the server sends in the first kGreetingMs (a banner such as "... 9600N81 ...", which the
// detection would take for an answer) is dropped, and the port is open.
//
// The line's rate is the Settings' (--rate); it cannot be changed from here. Output is queued
// and handed to the socket by the remote line's estimated time, never more than kAheadNs of
// line time ahead, so that TCP's buffering cannot turn into a burst at the board; bytesToWrite()
// counts what has not yet had its time on the remote line, and the upload paces by it. Input
// and the queue are bounded. A connection closed by the server while open is portLost.

#include "serial/PortMap.h"
#include "serial/PortUrl.h"
#include "serial/SerialPort.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdint>
#include <optional>

class QTcpSocket;

namespace transport {

class TcpPort : public SerialPort {
    Q_OBJECT
public:
    static constexpr int kOpenTimeoutMs = 3000;
    static constexpr int kGreetingMs = 100;
    static constexpr std::int64_t kAheadNs = 50'000'000;
    static constexpr qsizetype kMaxInputBytes = 64 * 1024;   // unread input beyond is dropped
    static constexpr qsizetype kMaxQueuedBytes = 256 * 1024; // output nobody takes: lost

    explicit TcpPort(PortMap portMap, QObject* parent = nullptr);
    ~TcpPort() override;


    OpenResult openPort() override;
    void closePort() override;
    bool portOpen() const override { return phase_ == Phase::Open; }
    bool output(const QByteArray& bytes) override;
    QByteArray input() override;
    qint64 bytesToWrite() const override;
    QString rateChangeRefusal() const override;

protected:
    enum class Phase { Closed, Connecting, Handshake, Open };

    // Connected: the handshake begins. Here: drop the greeting for kGreetingMs, then open.
    virtual void startHandshake();
    // The serial data that bytes from the server carry.
    virtual QByteArray fromServer(const QByteArray& bytes) { return bytes; }
    // Serial data as it goes to the server.
    virtual QByteArray toServer(const QByteArray& data) const { return data; }
    // The server has asked to hold the data for now.
    virtual bool holdsOutput() const { return false; }
    // kOpenTimeoutMs have passed and the port is not open.
    virtual void openingTimedOut();

    Phase phase() const { return phase_; }
    const PortUrl& url() const { return *url_; }
    // Ends the opening: open, or closed with `error` and a description naming the server.
    void finishOpening();
    void failOpening(PortError error, const QString& description);
    // The server's connection is gone while open: closes and emits portLost.
    void loseConnection(const QString& reason);
    // Bytes for the server outside the line's data (Telnet commands): at once, unpaced.
    void sendNow(const QByteArray& bytes);
    // What the server sent before the port opened, as text, for messages.
    QString greetingText() const;

private:
    void onReadyRead();
    void onSocketError();
    void onDisconnected();
    void pump();
    void report(const OpenResult& result);
    void release();
    std::int64_t now() const { return clock_.nsecsElapsed(); }

    PortMap portMap_;
    std::optional<PortUrl> url_;
    QTcpSocket* socket_;
    Phase phase_ = Phase::Closed;
    int openingSerial_ = 0; // a report of an opening given up is not delivered
    bool ending_ = false;   // the connection ended during the opening: it cannot finish now
    QTimer openDeadline_;
    QTimer greetingTimer_;
    QTimer pumpTimer_;
    QElapsedTimer clock_;
    QByteArray queue_;             // line data not yet handed to the socket
    std::int64_t remoteFreeNs_ = 0; // when the remote line will have carried what was handed over
    QByteArray input_;
    QByteArray greeting_;
};

} // namespace transport
