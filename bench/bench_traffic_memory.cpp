// The memory the traffic monitor holds, and what opening it costs, after long traffic of
// several kinds: long and short replies, messages one by one, and an endless run of pattern
// writes (in folds). Each kind feeds a fresh monitor (default bounds) with four times its memory
// bound in bytes on the line, or a million rows, then opens it. Prints the rows kept, the log's own
// count of its memory, the heap the monitor holds (measured), and the time to show it and paint it.
//
// Goal: the heap held stays about the bound (24 MB) whatever the traffic.

#include "QuietDialogs.h"
#include "engine/TrafficLog.h"
#include "panels/monitor/TrafficMonitor.h"
#include "panels/monitor/TrafficTableModel.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <cstdio>
#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Bytes the program has allocated and not freed: under AddressSanitizer as it counts them (the
// sizes asked for), else as the C library's heap has them in use.
qint64 heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    return qint64(mallinfo2().uordblks);
#endif
}

struct Kind {
    const char* name;
    engine::Direction direction;
    int bytes; // per row; writes are PutPattern messages of two bytes
    int gapMs; // between rows; below 500 ms writes of one command fold
};

double mb(qint64 bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (!text.startsWith(QStringLiteral("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    const Kind kinds[] = {
        {"replies of 4 KB", engine::Direction::FromBoard, 4096, 250},
        {"replies of 3 bytes", engine::Direction::FromBoard, 3, 250},
        {"messages one by one", engine::Direction::ToBoard, 2, 1000},
        {"a run of pattern writes", engine::Direction::ToBoard, 2, 2},
    };
    const qint64 bound = engine::TrafficLog::kDefaultMaxBytes;
    std::printf("Traffic monitor memory (bound %.0f MB, %lld rows)%s\n", mb(bound),
                static_cast<long long>(engine::TrafficLog::kDefaultMaxRows),
#if defined(__SANITIZE_ADDRESS__)
                " - AddressSanitizer build: heap as it counts it");
#else
                "");
#endif
    bool allMet = true;
    for (const Kind& kind : kinds) {
        QuietDialogs dialogs{QString()};
        const qint64 before = heapInUse();
        qint64 held = 0;
        double openMs = 0;
        qsizetype rowsKept = 0;
        qint64 counted = 0;
        qint64 rowsFed = 0;
        {
            TrafficMonitor monitor(dialogs);
            qint64 now = QDateTime::currentMSecsSinceEpoch();
            monitor.setClock([&now] { return now; });
            QByteArray reply(kind.bytes, 'a');
            for (qint64 wire = 0; wire < 4 * bound && rowsFed < 1'000'000; ++rowsFed) {
                if (kind.direction == engine::Direction::FromBoard) {
                    reply[0] = char('0' + rowsFed % 10); // a reply of its own
                    monitor.record(kind.direction, reply);
                } else {
                    monitor.record(kind.direction, QByteArray(1, 0x03) + char(rowsFed));
                }
                wire += kind.direction == engine::Direction::FromBoard ? kind.bytes : 2;
                now += kind.gapMs;
            }
            QElapsedTimer opening;
            opening.start();
            monitor.show();
            monitor.refresh();
            monitor.grab(); // the first paint of the rows in view
            openMs = double(opening.nsecsElapsed()) / 1e6;
            held = heapInUse() - before;
            rowsKept = monitor.log().rowCount();
            counted = monitor.log().bytesUsed();
        }
        const bool met = held <= bound + bound / 4;
        allMet = allMet && met;
        std::printf("  %-27s %8lld rows fed, %7lld kept; counted %5.1f MB, heap held %5.1f MB "
                    "(goal about %.0f MB: %s); open and paint %6.1f ms\n",
                    kind.name, static_cast<long long>(rowsFed), static_cast<long long>(rowsKept),
                    mb(counted), mb(held), mb(bound), met ? "met" : "MISSED", openMs);
        std::fflush(stdout);
    }
    return allMet ? 0 : 1;
}
