#pragma once
// The board's end of a pseudo-terminal: the serial line of the virtual board.
//
// The other end (the slave device, e.g. /dev/pts/4) is what a program opens as its serial port.
// Bytes arriving on the line are fed to the command interpreter; the board's replies are written
// back. The terminal keeps a slave descriptor of its own open, so the line settings survive the
// program closing and reopening the port and the master never sees a hang-up.
//
// Line rate. A pseudo-terminal carries bytes at no rate, but its line settings still hold the
// rate the program asked for (termios; read from the master with TCGETS2, which gives
// non-standard rates such as 14400 and 28800, set by Qt with BOTHER, as plain numbers). A real
// board only understands bytes sent at its own rate, so bytes that arrive while the line's rate
// differs from the board's are dropped as line noise (and logged), and replies are not sent
// while the rates differ. The pty driver forces 8 data bits and no parity, so the rate is the
// one line setting that can differ.
//
// The rate is read when the bytes are read, not when they were written. The terminal asks for
// word of every change of the line settings (packet mode with EXTPROC), so it notices a change as
// soon as the event loop runs; bytes that were already waiting when the rate changed (possible
// only while the event loop was busy, e.g. board and program in one thread) are judged at either
// rate, the old or the new one.
//
// Slices. A peer may write without pause. The terminal takes at most kSliceBytes, and reads for
// at most kSliceMs, each time its event loop calls it, then returns to the loop, which calls it
// again at once while bytes wait. So repaints, timers and termination signals are served between
// slices however fast the bytes come.
//
// Linux only (pseudo-terminal packet mode and termios2).

#include <QByteArray>
#include <QObject>
#include <QString>
#include <string>

namespace display {
class BoardModel;
class CommandInterpreter;
} // namespace display
class QSocketNotifier;

class PseudoTerminal : public QObject {
    Q_OBJECT
public:
    PseudoTerminal(display::BoardModel& model, display::CommandInterpreter& interpreter,
                   QObject* parent = nullptr);
    ~PseudoTerminal() override; // closes the terminal and removes the link

    // Opens the pair with the line raw (8N1, no echo, no translation) at the board's rate.
    bool open();
    bool isOpen() const { return master_ >= 0; }
    QString errorString() const { return error_; }
    QString slavePath() const { return slavePath_; } // the device a program opens

    // A symbolic link at `path` to the slave device. An old link there is replaced; any other
    // file is left alone and the call fails.
    bool createLink(const QString& path);
    // Removes the link, if it still points at this terminal's device.
    void removeLink();
    QString linkPath() const { return linkPath_; }

    // The rate in the line settings now (0 when unknown).
    int lineBaud() const;
    // Sets the line's rate, as the program at the other end would.
    bool setLineBaud(int baud);

    // Writes a reply of the board, unless the line's rate differs from the board's.
    void sendReply(const std::string& text);

    static constexpr qsizetype kMaxPendingReply = 64 * 1024;
    static constexpr qint64 kSliceBytes = 16 * 1024;
    static constexpr int kSliceMs = 20;

    // Bytes taken from the line so far (noise included).
    qint64 bytesRead() const { return bytesRead_; }

signals:
    void bytesArrived();            // the interpreter has been fed a slice
    void bytesTaken(const QByteArray& bytes); // what the interpreter was fed, in order
    void lineBaudChanged(int baud); // the line settings now hold another rate
    void logLine(const QString& line);

private slots:
    void readMaster();
    void writePending();

private:
    // Bytes judged at a rate other than the board's, not yet logged.
    struct Noise {
        qint64 bytes = 0;
        int lineBaud = 0;
        int boardBaud = 0;
    };
    void deliver(const std::uint8_t* data, std::size_t size, int lineBaud, int earlierBaud,
                 Noise& noise);
    void logNoise(Noise& noise);
    void fail(const char* what);
    void closeAll();

    display::BoardModel& model_;
    display::CommandInterpreter& interpreter_;
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString linkPath_;
    QString error_;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QByteArray pending_;   // reply bytes the line has not taken yet
    int seenLineBaud_ = 0; // the line's rate when the terminal last looked
    qint64 bytesRead_ = 0;
};
