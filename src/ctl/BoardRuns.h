#pragma once
// Runs one checked invocation on every port it names, all at once: each board has its own port,
// session and Runner on the one event loop, so a board that fails or is slow holds up no other.
// With one port the run prints exactly what a Runner prints. With several, every line (and the
// progress line) begins with its port, one line per board says how it ended, and the run ends
// with the highest status any board ended with. The invocation, and with it a script or a
// picture read from standard input, is shared by the boards, not read again.
//
// The same device named twice (also as a port number and its path, or through a link) is refused
// before any port is opened: two sessions would take each other's replies.

#include "ctl/Console.h"
#include "ctl/Invocation.h"
#include "ctl/Runner.h"
#include "serial/PortMap.h"
#include "serial/SerialPort.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ctl {

class BoardRuns : public QObject {
    Q_OBJECT
public:
    // Makes the port a board's session uses, for the port map that names its device.
    using MakePort = std::function<std::unique_ptr<SerialPort>(const PortMap& map)>;

    // A dry run makes one board, "the dry run", whatever the ports. `systemMap` gives the
    // devices of port numbers.
    BoardRuns(
        const Invocation& invocation, Console& console, MakePort makePort,
        std::function<PortMap()> systemMap = [] { return PortMap::fromSystem(); },
        QObject* parent = nullptr);
    ~BoardRuns() override;

    // Hands every write of every board's session to `tap`, in order (for --mirror).
    void tapSent(const std::function<void(const QByteArray& bytes)>& tap);

    void start();
    // Passed on to every board still running.
    void interrupt(int signalNumber);
    void stopOnWriteError(const QString& reason);

    // "/dev/ttyUSB0" and "/dev/serial/by-id/usb-...", or "rfc2217://h:2000" and
    // "socket://H:2000", are the same device.
    static QString sameDeviceKey(const QString& device);

signals:
    void finished(int exitStatus);

private:
    struct Board {
        QString device; // as messages name it
        std::unique_ptr<SerialPort> port;
        std::unique_ptr<engine::BoardSession> session;
        std::unique_ptr<Console> prefixed; // none with one board
        std::unique_ptr<Runner> runner;
        std::optional<int> status;
    };

    void refuse(const QString& message);
    void boardFinished(std::size_t index, int status);

    Invocation invocation_;
    Console& console_;
    MakePort makePort_;
    std::function<PortMap()> systemMap_;
    std::vector<Board> boards_;
    QString refusal_; // why nothing runs; empty when the boards can run
};

} // namespace ctl
