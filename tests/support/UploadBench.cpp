#include "support/UploadBench.h"

#include "panels/picture/PicturePanel.h"
#include "picture/UploadBuffer.h"
#include "support/PtyPair.h"
#include "transport/QtSerialPort.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

std::unique_ptr<QtSerialPort> openPortOn(const PtyPair& pty, int baud) {
    auto port = std::make_unique<QtSerialPort>(pty.portMap(1));
    port->setCommPort(1);
    port->setSettings(protocol::LineSettings{baud});
    const OpenResult opened = port->openPort();
    if (!opened.ok) {
        std::fprintf(stderr, "  cannot open %s: %s\n", qPrintable(pty.slavePath()),
                     qPrintable(opened.description));
        return nullptr;
    }
    return port;
}

void runEventsFor(int ms) {
    QEventLoop settle;
    QTimer::singleShot(ms, &settle, &QEventLoop::quit);
    settle.exec();
}

QByteArray uploadBytes(const UploadBuffer& buffer) {
    QByteArray bytes("\x05\x00\x06\x00\x12\x00", 6);
    for (int s = 0; s < PicturePanel::kScreenBytes; ++s) {
        bytes.append(char(0x03));
        bytes.append(char(255 - buffer.stream(s)));
    }
    return bytes;
}

UploadTiming driveUpload(PicturePanel& panel, const QElapsedTimer& clock,
                         const std::function<bool()>& allArrived, qint64 giveUpMs) {
    UploadTiming timing;
    bool finished = false;
    QObject connections; // ends the connection to the panel, which outlives this call
    QObject::connect(&panel, &PicturePanel::uploadFinished, &connections, [&] {
        finished = true;
        timing.finishedNs = clock.nsecsElapsed();
    });
    qint64 lastBeat = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (!finished && now - lastBeat > timing.longestStallNs) {
            timing.longestStallNs = now - lastBeat;
            timing.longestStallEndNs = now;
        }
        lastBeat = now;
    });
    QEventLoop loop;
    QTimer watch;
    watch.setInterval(5);
    QElapsedTimer waited;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if ((finished && allArrived()) || waited.elapsed() > giveUpMs)
            loop.quit();
    });

    timing.startNs = clock.nsecsElapsed();
    lastBeat = timing.startNs;
    heartbeat.start();
    watch.start();
    waited.start();
    panel.Command3_Click();
    loop.exec();
    heartbeat.stop();
    return timing;
}
