#pragma once
// What the picture upload benchmarks share: the real serial port on a pseudo-terminal, the bytes
// an upload puts on the line, and the loop that drives an upload through the picture panel while
// it times it and watches the event loop for stalls.

#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <memory>

class PicturePanel;
class PtyPair;
class QElapsedTimer;
class QtSerialPort;
class UploadBuffer;

// The real serial port on the pair's slave end, open at `baud`; null when it does not open, the
// reason then said on standard error.
std::unique_ptr<QtSerialPort> openPortOn(const PtyPair& pty, int baud);

// Lets the event loop run for `ms` milliseconds.
void runEventsFor(int ms);

// The bytes the upload of `buffer` sends: its set-up messages, then every byte of the stream in
// a data message, inverted as the board shows it.
QByteArray uploadBytes(const UploadBuffer& buffer);

// Times on the clock given to driveUpload, in nanoseconds.
struct UploadTiming {
    qint64 startNs = 0;           // "Send" pressed
    qint64 finishedNs = 0;        // the panel said the upload had finished; 0: it did not
    qint64 longestStallNs = 0;    // the longest gap between heartbeats before it finished
    qint64 longestStallEndNs = 0; // when that gap ended
};

// Presses "Send" and runs the event loop until the panel has finished the upload and
// `allArrived` says the far end has every byte, or until giveUpMs have passed. A 1 ms heartbeat
// timer measures the gaps in the event loop meanwhile.
UploadTiming driveUpload(PicturePanel& panel, const QElapsedTimer& clock,
                         const std::function<bool()>& allArrived, qint64 giveUpMs);
