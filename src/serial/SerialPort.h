#pragma once
// The one serial port of the main window. The five operations the program uses keep the names
// of the board's original Comm control: CommPort, Settings, PortOpen, Output and Input.
//
// Bytes are bytes: a message is a QByteArray end to end; 0x00 and 0x80..0xFF pass unchanged.
// Output hands its bytes on at once and never drops or reorders one; Input returns at once
// everything received since the previous Input.

#include "protocol/LineSettings.h"
#include "serial/PortError.h"

#include <QByteArray>
#include <QObject>
#include <QString>

struct OpenResult {
    bool ok = false;
    PortError error = PortError::None;
    QString description; // names the device and the cause; empty when ok
    // Still opening (a network port looking up its host, connecting, agreeing on the line): ok
    // and error tell nothing yet; the outcome follows once, as openFinished().
    bool pending = false;

    int errorNumber() const { return portErrorNumber(error); }
};

class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // CommPort: the port number the next opening uses. Written only while closed.
    void setCommPort(int portNumber) { portNumber_ = portNumber; }
    int commPort() const { return portNumber_; }

    // Settings: the line's rate and framing. Written only while closed; read back unchanged.
    void setSettings(const protocol::LineSettings& settings) { settings_ = settings; }
    protocol::LineSettings settings() const { return settings_; }

    // PortOpen = true / false / read. Closing drops received data not yet fetched.
    // A port that needs time to open returns a pending result at once and reports with
    // openFinished() (portOpen() stays false until then); closePort() meanwhile gives up the
    // opening, and then nothing is reported.
    virtual OpenResult openPort() = 0;
    virtual void closePort() = 0;
    virtual bool portOpen() const = 0;

    // Output: one write of all the bytes, in order. Returns false when the port failed
    // (the port is then closed and portLost has been emitted).
    virtual bool output(const QByteArray& bytes) = 0;

    // Input: everything received since the previous call, oldest first; empty when nothing came.
    virtual QByteArray input() = 0;

    // Bytes handed to output() that have not yet left for the device. The picture upload paces
    // itself by it.
    virtual qint64 bytesToWrite() const { return 0; }

    // True for a port that carries every byte the moment it is handed over and answers at once
    // (the dry run): whoever paces or waits for the line has nothing to wait for.
    virtual bool carriesAtOnce() const { return false; }

    // Why the line's rate cannot be changed from this program (a raw TCP port); empty when it
    // can. Asked before anything of a rate change is sent.
    virtual QString rateChangeRefusal() const { return {}; }

signals:
    // The outcome of an opening that returned pending.
    void openFinished(const OpenResult& result);
    // The open port is really gone (adapter pulled, device removed, write refused). Emitted once;
    // the port is closed when it is emitted.
    void portLost(const QString& device, const QString& reason);

protected:
    int portNumber_ = 0;
    protocol::LineSettings settings_;
};
