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
        QFile config(dir_.filePath(QStringLiteral("ser2net.yaml")));
        if (ser2netProgram().isEmpty() || rawPort == rfc2217Port ||
            !config.open(QIODevice::WriteOnly))
            return;
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
        started_ =
            QTest::qWaitFor([this] { return listening(rfc2217Port) && listening(rawPort); }, 5000);
    }
    ~Ser2net() { stop(); }
    bool started() const { return started_; }
    void stop() {
        process_.terminate();
        process_.waitForFinished();
    }
    QString rfc2217() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfc2217Port); }
    QString raw() const { return QStringLiteral("socket://127.0.0.1:%1").arg(rawPort); }

    const quint16 rfc2217Port = freePort();
    const quint16 rawPort = freePort();

private:
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
