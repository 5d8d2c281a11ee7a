#pragma once
// Another program run from a test or a benchmark while this process's event loop goes on, so
// that whatever answers that program from here (the virtual board) keeps answering.

#include <QByteArray>
#include <QEventLoop>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

struct Finished {
    int exitCode = -1; // -1: crashed, or killed for running too long
    QByteArray out;
    QByteArray err;
};

// Runs the event loop until `process` has ended, for at most timeoutMs; a process still running
// then is killed. The event loop ends the moment the process does, so the wait can be timed.
inline Finished waitFor(QProcess& process, int timeoutMs) {
    if (process.state() != QProcess::NotRunning) {
        QEventLoop loop;
        QObject::connect(&process, &QProcess::stateChanged, &loop,
                         [&loop](QProcess::ProcessState state) {
                             if (state == QProcess::NotRunning)
                                 loop.quit();
                         });
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    Finished result;
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

inline Finished runProgram(const QString& program, const QStringList& arguments, int timeoutMs) {
    QProcess process;
    process.start(program, arguments);
    return waitFor(process, timeoutMs);
}
