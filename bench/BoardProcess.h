#pragma once
// The virtual board as its own program (vantrel-board --headless), so that the soak's memory
// figures are the window's alone: its device path from the first line it prints, then the bytes
// it has taken from the line, from its "taken N bytes" lines.

#include <QProcess>
#include <QStringList>

class BoardProcess {
public:
    // Starts the board at `rate`, touching every `touchMs` and reporting every `reportMs`.
    bool start(const QString& program, int rate, int touchMs, int reportMs) {
        process_.setProgram(program);
        process_.setArguments({QStringLiteral("--headless"), QStringLiteral("--rate"),
                               QString::number(rate), QStringLiteral("--touch-every"),
                               QString::number(touchMs), QStringLiteral("--report-every"),
                               QString::number(reportMs)});
        process_.setStandardErrorFile(QProcess::nullDevice()); // its log of every command
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readLines(); });
        process_.start();
        if (!process_.waitForStarted(5000))
            return false;
        while (devicePath_.isEmpty() && process_.waitForReadyRead(5000))
            readLines();
        return !devicePath_.isEmpty();
    }
    ~BoardProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            process_.waitForFinished(5000);
        }
    }

    QString devicePath() const { return devicePath_; }
    qint64 bytesTaken() const { return taken_; }
    bool running() const { return process_.state() == QProcess::Running; }

private:
    void readLines() {
        while (process_.canReadLine()) {
            const QByteArray line = process_.readLine().trimmed();
            if (devicePath_.isEmpty())
                devicePath_ = QString::fromLocal8Bit(line);
            else if (line.startsWith("taken "))
                taken_ = line.split(' ').value(1).toLongLong();
        }
    }

    QProcess process_;
    QString devicePath_;
    qint64 taken_ = 0;
};
