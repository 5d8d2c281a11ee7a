#pragma once
// A pseudo-terminal pair standing in for a board on a serial line.
//
// The slave end is the "serial device" the program opens (give slavePath() to QtSerialPort
// through portMap()); the master end is the board: writeToPort() is what the board sends,
// readFromPort()/readAvailable() is what the program sent to it. Both ends are raw (cfmakeraw),
// so no byte is translated: no CR/LF mapping, no echo, no signal characters, 8 bits clean.
//
// The pair keeps one slave descriptor of its own open for its whole life, so the master does not
// see a hang-up each time the port under test closes and the line settings stay readable.
// closeMaster() simulates a pulled adapter: the port under test then sees a hang-up.
//
//   PtyPair pty;
//   QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
//   QtSerialPort port(pty.portMap(3));   // port 3 is the pty
//   port.setCommPort(3);

#include "serial/PortMap.h"

#include <QByteArray>
#include <QString>

class PtyPair {
public:
    // Line settings the slave currently uses, as the board would see them.
    struct LineSettings {
        int baud = 0;         // bits per second (also for non-standard rates such as 14400)
        int dataBits = 0;     // 5..8
        char parity = 'N';    // 'N', 'E' or 'O'
        int stopBits = 0;     // 1 or 2
        bool rtsCts = false;  // hardware flow control
        bool xonXoff = false; // software flow control (input or output)
    };

    PtyPair();  // opens the pair; check isValid()
    ~PtyPair(); // closes both ends
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return master_ >= 0 && slave_ >= 0; }
    QString errorString() const { return error_; } // why the pair could not be opened

    QString slavePath() const { return slavePath_; } // e.g. "/dev/pts/4"
    int masterFd() const { return master_; }         // non-blocking; -1 after closeMaster()

    // A port map in which port number `portNumber` is this pair's slave device.
    PortMap portMap(int portNumber = 1) const;

    // The board sends `bytes`. Waits (poll, at most timeoutMs) while the slave's input buffer
    // is full. Returns true when every byte was written.
    bool writeToPort(const QByteArray& bytes, int timeoutMs = 2000);

    // What the program sent: waits (poll, at most timeoutMs in total) until `count` bytes have
    // arrived, and returns what arrived, possibly fewer than `count`. Never more than `count`.
    QByteArray readFromPort(qsizetype count, int timeoutMs = 2000);
    // Everything the program has sent that is waiting at the master now, without waiting.
    QByteArray readAvailable();

    // The slave's line settings. On Linux a pty has one termios, shared by both ends; the master
    // reads it with TCGETS2 so that non-standard rates come back as numbers. The pty driver
    // forces 8 data bits and no parity whatever was asked for, so only the rate, the stop bits
    // and the flow control tell what the port under test set.
    LineSettings lineSettings() const;

    // Hang-up: closes the master end. The port under test then sees POLLHUP; its reads return
    // end-of-file (0) and its writes fail with EIO.
    void closeMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString error_;
};
