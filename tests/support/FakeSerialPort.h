#pragma once
// A serial port for tests: records every Output as its own write, and lets the test say what
// the board has sent and whether opening fails.

#include "serial/SerialPort.h"

#include <QList>
#include <optional>

class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;


    OpenResult openPort() override;
    void closePort() override;
    bool portOpen() const override { return open_; }
    bool output(const QByteArray& bytes) override;
    QByteArray input() override;

    // --- test controls ---
    // Every write, each as its own entry, with the Settings in force when it was written (as
    // their text, "9600,N,8,1").
    QList<QByteArray> writes;
    QList<QString> writeSettings;
    // Bytes "received from the board", returned by the next input().
    void receive(const QByteArray& bytes) { received_.append(bytes); }
    // Makes the next openPort() fail with this result.
    void failNextOpen(PortError error, const QString& description);
    // Opens as a network port does: openPort() returns pending until finishOpening().
    bool opensInBackground = false;
    bool opening() const { return opening_; }
    // Reports the opening under way (or, with none, a stray report).
    void finishOpening(const OpenResult& result);
    // Makes output() fail from now on, as a pulled adapter would.
    void failWrites(const QString& reason);
    // Simulates the device vanishing while open.
    void loseDevice(const QString& reason);
    // Convenience: the open state without going through openPort() (writes stay empty).
    void setOpenForTest(bool open) { open_ = open; }
    int openCount = 0;
    int closeCount = 0;
    int inputCount = 0;
    QByteArray allWritten() const;
    void clearWrites() {
        writes.clear();
        writeSettings.clear();
    }

private:
    bool open_ = false;
    bool opening_ = false;
    QByteArray received_;
    std::optional<OpenResult> nextOpenFailure_;
    QString writeFailure_;
};
