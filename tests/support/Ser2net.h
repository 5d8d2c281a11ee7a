#pragma once
// A ser2net of the test's own on 127.0.0.1, serving a pseudo-terminal (the virtual board's or a
// bare one) on free ports, for the tests that reach a board over rfc2217:// and socket://.

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>


inline quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

inline bool listening(quint16 port) {
    QTcpServer probe;
    return !probe.listen(QHostAddress::LocalHost, port);
}

inline QString ser2netProgram() {
    return QStandardPaths::findExecutable(QStringLiteral("ser2net"), {"/usr/sbin", "/sbin"});
}

// ser2net with an RFC 2217 accepter (the line set by the client) and a raw one (the line at
// `rawBaud`, greeting with `rawBanner`), both on `device`.
class Ser2net {
public:
    Ser2net(const QString& device, int rawBaud, const QString& rawBanner = {}) {
        if (ser2netProgram().isEmpty())
            return;
        // Two free ports, held together so that they differ; another program may still take one
        // before ser2net does, so a start that does not come up is tried again on new ports.
        for (int attempt = 0; attempt < 3 && !started_; ++attempt) {
            QTcpServer first, second;
            first.listen(QHostAddress::LocalHost, 0);
            second.listen(QHostAddress::LocalHost, 0);
            rfc2217Port = first.serverPort();
            rawPort = second.serverPort();
            first.close();
            second.close();
            started_ = start(device, rawBaud, rawBanner);
            if (!started_)
                stop();
        }
    }
    ~Ser2net() { stop(); }
    bool started() const { return started_; }
    void stop() {
        process_.terminate();
        process_.waitForFinished();
    }
    QString rfc2217() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfc2217Port); }
    QString raw() const { return QStringLiteral("socket://127.0.0.1:%1").arg(rawPort); }

    quint16 rfc2217Port = 0;
    quint16 rawPort = 0;

private:
    bool start(const QString& device, int rawBaud, const QString& rawBanner) {
        QFile config(dir_.filePath(QStringLiteral("ser2net.yaml")));
        if (!config.open(QIODevice::WriteOnly))
            return false;
        config.write(QStringLiteral("connection: &rfc\n"
                                    "  accepter: telnet(rfc2217),tcp,127.0.0.1,%1\n"
                                    "  connector: serialdev,%3,9600n81,local\n"
                                    "connection: &raw\n"
                                    "  accepter: tcp,127.0.0.1,%2\n"
                                    "  connector: serialdev,%3,%4n81,local\n"
                                    "  options:\n"
                                    "    banner: \"%5\"\n")
                         .arg(rfc2217Port)
                         .arg(rawPort)
                         .arg(device)
                         .arg(rawBaud)
                         .arg(rawBanner)
                         .toUtf8());
        config.close();
        process_.start(ser2netProgram(),
                       {"-n", "-d", "-c", config.fileName(), "-P", dir_.filePath("pid")});
        const auto up = [this] { return listening(rfc2217Port) && listening(rawPort); };
        // The outcome is read from the process and its ports just below.
        (void)QTest::qWaitFor([&] { return process_.state() == QProcess::NotRunning || up(); }, 10000);
        return process_.state() != QProcess::NotRunning && up();
    }

    QTemporaryDir dir_;
    QProcess process_;
    bool started_ = false;
};

#define START_SER2NET(server)                                                                      \
    do {                                                                                           \
        if (ser2netProgram().isEmpty())                                                            \
            QSKIP("ser2net is not installed (scripts/setup.sh --test installs it)");               \
        QVERIFY2((server).started(), "ser2net did not start");                                     \
    } while (false)
