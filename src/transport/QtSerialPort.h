#pragma once
// The serial port on QSerialPort. Port numbers become device paths through the PortMap.
//
// QSerialPort opens, locks and configures the device (8N1 at the rate of Settings, no flow
// control, modem lines untouched). The bytes themselves go straight through its descriptor:
// QSerialPort::write() only queues until the event loop runs, and its flush() reports a full
// device buffer as a ResourceError, so the program could neither hand a message on at once nor
// tell a full buffer from a pulled adapter. Here:
//   output() writes what the device takes now (non-blocking) and queues the rest, in order; a
//            write notifier drains the queue whenever the device is writable again.
//   input()  returns what QSerialPort has already buffered, then what the descriptor holds now,
//            so it works inside a handler that has not let the event loop run.
//   A hang-up, or EIO/ENXIO on a read or write, closes the port and emits portLost once.
//   Everything runs on the GUI thread; nothing blocks except closePort()'s bounded drain.

#include "serial/PortMap.h"
#include "serial/SerialPort.h"
#include "protocol/LineSettings.h"

#include <QByteArray>

class QSerialPort;
class QSocketNotifier;

class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(PortMap portMap, QObject* parent = nullptr);
    ~QtSerialPort() override;


    // On failure, OpenResult::error has the number of QSerialPort's own error (1 device not
    // found, 2 permission or in use, 3 already open, 7 settings not supported, ...) and the
    // description names the device path.
    OpenResult openPort() override;
    // Hands the queued bytes to the device first (bounded: their line time plus a margin, at
    // most about a second), then closes. Received data not fetched is dropped.
    void closePort() override;
    bool portOpen() const override;
    // Returns false only when the port is gone (it is then closed and portLost was emitted).
    bool output(const QByteArray& bytes) override;
    QByteArray input() override;
    // Bytes given to output() that the device has not taken yet.
    qint64 bytesToWrite() const override;

    // The device of the port number currently set (the one the next opening uses).
    QString devicePath() const { return portMap_.devicePath(portNumber_); }

    // What went wrong when opening, gathered without privileges, so that the wording can be
    // tested as a plain function.
    struct OpenFailure {
        int portNumber = 0;
        QString devicePath;        // empty: no device is assigned to the number
        QString settings;          // the Settings text used
        int error = 0;             // QSerialPort::SerialPortError
        QString systemText;        // the system's own wording ("Permission denied", ...)
        bool deviceExists = true;  // the device node is there
        bool linkLoop = false;     // the path's symbolic links lead round in a circle
        bool accessDenied = false; // this user may not read and write the device node
        QString deviceGroup;       // the group owning the device node ("dialout")
        bool notATerminal = false; // a regular file, a FIFO, /dev/null: no line to set up
    };
    static QString describeOpenFailure(const OpenFailure& failure);

private:
    bool writePending();
    bool readDevice(QByteArray& into);
    bool hungUp() const;
    void checkAfterSerialError();
    void drainBeforeClose();
    void loseDevice(const QString& reason);
    void release();
    qint64 lineTimeMs(qint64 bytes) const;

    PortMap portMap_;
    QSerialPort* serial_;
    QSocketNotifier* writeNotifier_ = nullptr;
    int fd_ = -1;        // the open device's descriptor, -1 while closed
    QString openPath_;   // the device that is open
    QByteArray pending_; // output the device has not taken yet, from pendingOffset_ on
    qsizetype pendingOffset_ = 0;
    bool releasing_ = false;
    bool checkQueued_ = false;
};
