#pragma once
// Runs a checked command list on the board session, one step after the other on the event loop:
// open the port, detect the board, send each command's messages, run the exchanges (identify,
// baud change, picture upload, listening), wait until the line has carried everything, close.
// Ends with finished(exit status); see ExitStatus.h.
//
// The session is its only way to the line: the runner holds no port. Without detection
// (--no-detect) the session opens the port as Open, which polls the input as a connected
// session does; `identify` then detects, and from there on the session is connected.

#include "ctl/Console.h"
#include "ctl/Invocation.h"
#include "engine/BoardSession.h"
#include "protocol/LineSettings.h"
#include "protocol/MessageDecoder.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

namespace ctl {

class Runner : public QObject {
    Q_OBJECT
public:
    // `device` names the port in messages.
    Runner(engine::BoardSession& session, Invocation invocation, QString device, Console& console,
           QObject* parent = nullptr);

    void start();
    // SIGINT ends a `listen`; otherwise a signal (SIGINT, SIGTERM, SIGHUP, SIGPIPE) stops the
    // run between two messages.
    void interrupt(int signalNumber);
    // Standard output cannot take what the run prints: stop, and say why.
    void stopOnWriteError(const QString& reason);

signals:
    void finished(int exitStatus);

private:
    // Why a detection runs.
    enum class Detection { Start, Identify, Baud };

    void runNext();
    void runNextLater();
    void detect(Detection why);
    void afterDetection();
    void changeBaudRate(const Command& command);
    void onOpened();
    void startUpload(const Command& command);
    void startListening(const Command& command);
    void endListening();
    void heard(const QByteArray& bytes);
    void flushHeard();
    // Calls `then` once everything sent so far has left the port and had its time on the line.
    void whenLineIdle(std::function<void()> then);
    void onAllSent();
    void succeed();
    // `sayWhere`: begin the message with the command that was running.
    void fail(int status, const QString& message, bool sayWhere = true);
    QString where() const;
    QString lineText() const;

    void onDetected();
    void onContrastReported(int contrast);
    void onDetectionTimedOut();
    void onOpenFailed(PortError error, const QString& description);
    void onPortLost(const QString& device, const QString& reason, int uploadBytesSent);
    void onUploadProgress(int sent);
    void onUploadFinished(engine::UploadEnding ending, int sent);
    void onTraffic(engine::Direction direction, const QByteArray& bytes);

    engine::BoardSession& session_;
    Invocation invocation_;
    QString device_;
    Console& console_;
    protocol::LineSettings line_;
    protocol::MessageDecoder decoder_;

    qsizetype next_ = 0;
    Command command_; // the one running, as the list gives it back
    const Command* current_ = nullptr;
    bool finished_ = false;
    Detection detection_ = Detection::Start;
    std::optional<int> contrast_;
    QByteArray answer_;

    std::function<void()> afterLineIdle_;

    QElapsedTimer uploadClock_;
    qint64 lastProgressMs_ = -1;
    int interruptedBy_ = 0;

    bool listening_ = false;
    QByteArray heard_;
    QTimer listenTimer_;
    QTimer heardFlushTimer_;
};

} // namespace ctl
