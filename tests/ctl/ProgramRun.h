#pragma once
// Runs the built vantrelctl as a whole process, directly or in a shell command line, and
// collects what it printed and how it ended. For the tests in this folder, which are built with
// VANTRELCTL_PATH.

#include "support/ProgramRun.h"

#include <QProcess>
#include <QTest>

#ifndef VANTRELCTL_PATH
#error "VANTRELCTL_PATH must name the built vantrelctl"
#endif

inline constexpr int kRunTimeoutMs = 60000;

// Lets the event loop (and with it the virtual board) run until the program has ended.
inline Finished waitFor(QProcess& process) {
    return waitFor(process, kRunTimeoutMs);
}

inline void start(QProcess& process, const QStringList& arguments) {
    process.setProgram(QStringLiteral(VANTRELCTL_PATH));
    process.setArguments(arguments);
    process.start();
}

inline Finished run(const QStringList& arguments) {
    return runProgram(QStringLiteral(VANTRELCTL_PATH), arguments, kRunTimeoutMs);
}

// Runs a shell command line in `dir`, "vantrelctl" in it standing for the built program.
inline Finished runInShell(QString command, const QString& dir) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VANTRELCTL"), QStringLiteral(VANTRELCTL_PATH));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir);
    command.replace(QStringLiteral("vantrelctl"), QStringLiteral("\"$VANTRELCTL\""));
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    return waitFor(process);
}

inline QString explain(const Finished& f) {
    return QStringLiteral("exit %1, stdout \"%2\", stderr \"%3\"")
        .arg(f.exitCode)
        .arg(QString::fromLocal8Bit(f.out), QString::fromLocal8Bit(f.err));
}
