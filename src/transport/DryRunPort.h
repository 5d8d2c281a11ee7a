#pragma once
// The port of a dry run: opens nothing, hands every write to a sink (which prints it), answers
// Identify as a board would, and carries every byte at once, so that the session runs its
// ordinary sequences without waiting. A dry run therefore writes exactly what a real run would.

#include "serial/SerialPort.h"

#include <functional>

namespace transport {

class DryRunPort : public SerialPort {
    Q_OBJECT
public:
    using Sink = std::function<void(const QByteArray& bytes)>;
    // The answer to Identify: a board's contrast, then "!".
    static constexpr const char* kIdentifyAnswer = "64!";

    explicit DryRunPort(Sink sink, QObject* parent = nullptr);


    OpenResult openPort() override;
    void closePort() override;
    bool portOpen() const override { return open_; }
    bool output(const QByteArray& bytes) override;
    QByteArray input() override;
    bool carriesAtOnce() const override { return true; }

private:
    Sink sink_;
    bool open_ = false;
    QByteArray answer_;
};

} // namespace transport
