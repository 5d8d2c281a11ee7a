#pragma once
// The session with one board over one serial port, as plain logic: open and close, detection,
// the contrast the board reports, the receive path, the baud-rate change, the picture upload,
// and sending any message. It reads no widget and shows no box; it reports through signals, and
// the window (or the command line) turns them into captions, boxes and status texts.
//
// States and the timers behind them (object names as the window's original timers):
//   Disconnected     port closed, no timer
//   Detecting        Timer1 (1500 ms time-out), Timer4 (50 ms pauses between reads); first,
//                    while a port that opens in the background (a network port) is opening,
//                    no timer: the port says when it is done (openFinished)
//   Settling         Timer3 (500 ms, then the input is drained once)
//   Polling          Timer2 (250 ms poll of the input)
//   BaudChangePause  BaudChangePause (300 ms), port closed, between the old rate and the new
//   Open             port open without detection (the command line's --no-detect); Timer2 polls
//
//   Disconnected --connectTo, port opens--> Detecting --answer--> Settling --500 ms--> Polling
//   Detecting (opening) --port opened--> Detecting (Identify sent), or Open without detection
//   Detecting (opening) --port failed--> Disconnected (openFailed)
//   Detecting --1500 ms--> Disconnected (detectionTimedOut)
//   Settling, Polling --disconnect--> Disconnected
//   Detecting, Settling, Polling --changeBaudRate--> BaudChangePause --300 ms--> Detecting
//   any --port lost--> Disconnected (portLost)
//   Disconnected --openWithoutDetection--> Open --detect--> Detecting
//   Open --changeBaudRate--> BaudChangePause --300 ms--> Open
//
// Everything runs on the event loop of the thread that owns the session: no nested loop, no
// sleeping. Each tick handler checks the state it belongs to, so a late or stray tick changes
// nothing.

#include "engine/SessionTypes.h"
#include "engine/UploadPacer.h"
#include "protocol/LineSettings.h"
#include "serial/PortError.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class SerialPort;
struct OpenResult;
class QTimer;

namespace engine {

class BoardSession : public QObject {
    Q_OBJECT
public:
    // Timings, each with its reason.
    static constexpr int kDetectionTimeoutMs = 1500; // the board answers Identify well within it
    static constexpr int kDetectionPauseMs = 50;     // between two reads while detecting
    static constexpr int kSettlingMs = 500;          // the rest of the answer and the contrast echo
    static constexpr int kPollMs = 250;              // replies are shown at most this late
    static constexpr int kBaudChangePauseMs = 300;   // the board switches its rate meanwhile

    // The picture upload: touch off, page 0, column 0, then one PutPattern per page byte.
    static constexpr int kScreenBytes = engine::kScreenBytes;
    static constexpr int kSetupMessages = 3;
    // Pauses the board needs after some messages of the upload, on top of their line time:
    // switching touch reporting off takes it longest; page and column are quick.
    static constexpr std::int64_t kTouchOffPauseNs = 20'000'000;
    static constexpr std::int64_t kAddressPauseNs = 1'000'000;

    using Screen = engine::Screen;
    // A port that has not taken its bytes this long after their line time will not take them:
    // waitUntilSent() gives up waiting then.
    static constexpr std::int64_t kLineIdleGraceNs = 2'000'000'000;

    explicit BoardSession(SerialPort& port, QObject* parent = nullptr);
    ~BoardSession() override;

    SessionState state() const { return state_; }
    bool portOpen() const;
    bool connected() const {
        return state_ == SessionState::Settling || state_ == SessionState::Polling;
    }
    int commPort() const;
    protocol::LineSettings lineSettings() const { return line_; }
    QString settingsText() const { return line_.text(); }
    // What has arrived while detecting, as the response box shows it during detection.
    QByteArray detectionText() const { return detectionText_; }

    // Opens port `portNumber` at `line` and starts detection. A port that cannot be opened
    // leaves the state Disconnected, emits openFailed and returns false. Ignored (false) unless
    // Disconnected. A port that opens in the background returns true with the session
    // Detecting; a failure then comes later as openFailed, with the state back at Disconnected.
    bool connectTo(int portNumber, const protocol::LineSettings& line);
    // Opens port `portNumber` at `line` without detection: the session is Open, polls the
    // input and emits opened(). False, with openFailed, when it cannot be opened; ignored
    // (false) unless Disconnected.
    bool openWithoutDetection(int portNumber, const protocol::LineSettings& line);
    // Detects the board again on the port already open (Open, Settling or Polling). False
    // otherwise, or when the port is gone.
    bool detect();
    // Closes the port and stops every timer; nothing is sent. Emits disconnected().
    void disconnectBoard();
    // Stops everything silently (program end).
    void shutDown();

    // One message, one write. False when the port is closed (nothing sent) or failed.
    // Refused (false) while an upload runs, so that nothing comes between its messages.
    bool send(const QByteArray& message);
    // Sends SetBaudRate with `rateIndex` at the old rate, closes, waits kBaudChangePauseMs and
    // detects again at the new rate (from Open: opens again without detection). False
    // (nothing sent) unless the port is open for a session (open, detecting or connected) and
    // the index is one of the nine; false with baudChangeRefused when the port cannot change
    // its rate.
    bool changeBaudRate(int rateIndex);
    // Why the open port's rate cannot be changed from here; empty when it can.
    QString rateChangeRefusal() const;

    // Starts the paced upload of a whole screen: `screen` holds the bytes as they go on the
    // line, column by column of page 0, then page 1, and so on. False when the port is closed
    // or an upload already runs.
    bool startUpload(const Screen& screen);
    void cancelUpload();
    bool uploading() const { return pacer_.has_value(); }
    // Message `index` (0 .. kSetupMessages + kScreenBytes - 1) of the upload of `screen`, for
    // those who must know what an upload sends without sending it (a render of the screen).
    static QByteArray uploadMessage(const Screen& screen, int index);
    int uploadBytesSent() const;
    // The monotonic clock (nanoseconds) that paces uploads started from now on.
    void setClock(UploadPacer::Clock clock);

    // Emits allSent() once every byte handed to the port so far has left it and had its time
    // on the line (at most kLineIdleGraceNs later than that time). At once for a port that
    // carries everything at once.
    void waitUntilSent();

    // Forgets what the detection has gathered (the response box was emptied).
    void clearDetectionText();

public slots:
    // Timer ticks, public so that tests can drive the steps one by one.
    void detectionTimeoutTick(); // Timer1
    void pollTick();             // Timer2
    void settleTick();           // Timer3
    void detectionPauseTick();   // Timer4
    void baudChangePauseTick();  // BaudChangePause
    void uploadTick();           // UploadTimer
    void lineIdleTick();         // LineIdleTimer

signals:
    void stateChanged(engine::SessionState state);
    // The port could not be opened; nothing changed.
    void openFailed(PortError error, const QString& description);
    // openWithoutDetection, or the reopening after a baud-rate change from Open, has opened
    // the port.
    void opened();
    // What waitUntilSent() waits for.
    void allSent();
    // Everything received while detecting so far.
    void detectionTextChanged(const QByteArray& text);
    // The board answered: the session is Settling at commPort() and settingsText().
    void detected();
    // The board said its contrast (0..127) in its answer.
    void contrastReported(int contrast);
    // No answer within kDetectionTimeoutMs; the port is closed.
    void detectionTimedOut();
    // The user's disconnect has closed the port.
    void disconnected();
    // SetBaudRate has gone out and the port is closed until the pause ends.
    void baudChangeStarted(int rateIndex);
    // The port cannot change its rate (a raw TCP port); nothing was sent.
    void baudChangeRefused(const QString& reason);
    // A poll fetched something (Polling or Open).
    void replyReceived(const QByteArray& bytes);
    void uploadProgress(int pageBytesSent);
    void uploadFinished(engine::UploadEnding ending, int pageBytesSent);
    // The open port is gone (adapter pulled, write refused); the session is Disconnected. When
    // an upload was running, `uploadBytesSent` says how far it got (else -1).
    void portLost(const QString& device, const QString& reason, int uploadBytesSent);
    // Every write that went out and every non-empty read, in order.
    void traffic(engine::Direction direction, const QByteArray& bytes);

private:
    void setState(SessionState state);
    void closePort();
    void stopTimers();
    void finishDetection();
    QByteArray readInput();
    bool write(const QByteArray& bytes);
    // What follows an opening that the port finishes in the background.
    enum class Opening { None, ThenDetect, ThenOpen };
    enum class OpenStep { Failed, Opened, Pending };
    OpenStep openPort(int portNumber, const protocol::LineSettings& line, Opening then);
    // connectTo and openWithoutDetection: open, then detect or enter Open.
    bool openThen(int portNumber, const protocol::LineSettings& line, Opening then);
    void onOpenFinished(const OpenResult& result);
    void enterOpen();
    void startDetection();
    QByteArray uploadMessage(int index) const;
    void scheduleUploadTick(std::int64_t waitNs);
    void endUpload(UploadEnding ending);
    void onPortLost(const QString& device, const QString& reason);

    SerialPort& port_;
    SessionState state_ = SessionState::Disconnected;
    protocol::LineSettings line_;
    QByteArray detectionText_;

    QTimer* timer1_;
    QTimer* timer2_;
    QTimer* timer3_;
    QTimer* timer4_;
    QTimer* baudChangePause_;
    QTimer* uploadTimer_;
    QTimer* lineIdleTimer_;
    bool reopenWithoutDetection_ = false; // the baud-rate change started from Open
    Opening opening_ = Opening::None;     // a port opening in the background

    QElapsedTimer elapsed_;
    UploadPacer::Clock clock_;
    std::optional<UploadPacer> pacer_;
    Screen screen_{};
    int nextMessage_ = 0;
    bool pacerStarted_ = false;
    std::int64_t holdUntilNs_ = 0; // the end of the pause after the last setup message
    std::int64_t lineFreeNs_ = 0;  // when the line has carried every byte handed over
    std::int64_t lineIdleDeadlineNs_ = 0;
};

} // namespace engine
