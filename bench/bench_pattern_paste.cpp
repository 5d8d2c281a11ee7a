// The "Pattern" box with large lists, shown in a window: pastes 256 KB and 1 MB of digits and
// commas with Ctrl+V (taken), types one more comma, sends the list, and pastes the same list
// with a letter at its end (refused whole). Each time runs until the box has repainted.
//
// Goals: 1 MB taken, or refused, in under 0.5 s; every figure about 4 times its 256 KB figure
// (growing with the size, not with its square); "Send" a fraction of a microsecond per value.
// Each figure is the time on the clock and, in brackets, the processor time of this thread,
// which other programs on a busy machine do not inflate.

#include "engine/BoardSession.h"
#include "panels/text/PatternPanel.h"
#include "support/FakeSerialPort.h"
#include "support/RecordingDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <ctime>

namespace {

// Values 0..255 separated by commas, cut to exactly `bytes` characters.
QString patternList(qsizetype bytes) {
    QString list;
    list.reserve(bytes + 4);
    for (int i = 0; list.size() < bytes; ++i) {
        list += QString::number((i * 37) % 256);
        list += u',';
    }
    list.truncate(bytes);
    return list;
}

qsizetype valuesIn(const QString& list) {
    qsizetype values = 0;
    for (QStringView piece : QStringView(list).tokenize(u','))
        values += PatternPanel::patternValue(piece).has_value();
    return values;
}

double threadCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Seconds {
    double wall;
    double cpu;
};

struct Panel {
    Panel() : panel(session, dialogs) {
        port.setOpenForTest(true);
        panel.resize(400, 300);
        panel.show();
        QApplication::processEvents();
    }
    QPlainTextEdit* box() const { return panel.findChild<QPlainTextEdit*>("txtString1"); }

    // Time of one action, until the box has shown its result.
    template <typename Action> Seconds seconds(Action action) {
        QElapsedTimer clock;
        const double cpuStart = threadCpuSeconds();
        clock.start();
        action();
        box()->viewport()->repaint();
        QApplication::processEvents();
        return {clock.nsecsElapsed() / 1e9, threadCpuSeconds() - cpuStart};
    }
    Seconds paste(const QString& clipboard) {
        QGuiApplication::clipboard()->setText(clipboard);
        return seconds([this] { QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier); });
    }

    FakeSerialPort port;
    engine::BoardSession session{port};
    RecordingDialogs dialogs;
    PatternPanel panel;
};

bool run(qsizetype bytes) {
    const QString list = patternList(bytes);
    const int kb = int(bytes / 1024);

    Panel taken;
    const Seconds paste = taken.paste(list);
    const bool whole = taken.box()->toPlainText() == list && taken.dialogs.messages.isEmpty();
    std::printf("paste %4d KB of digits and commas   %.3f s (%.3f s)%s\n", kb, paste.wall,
                paste.cpu, whole ? "" : "   NOT TAKEN WHOLE");

    const Seconds comma = taken.seconds([&] { QTest::keyClick(taken.box(), Qt::Key_Comma); });
    std::printf("type a comma after %4d KB           %.3f s (%.3f s)\n", kb, comma.wall, comma.cpu);

    const qsizetype values = valuesIn(list);
    auto* send = taken.panel.findChild<QPushButton*>("Command1");
    const Seconds sending = taken.seconds([send] { send->click(); });
    const bool allSent = taken.port.writes.size() == values;
    std::printf("send  %4d KB, %6lld values          %.3f s (%.3f s), %.2f us a value%s\n", kb,
                (long long)values, sending.wall, sending.cpu, sending.wall * 1e6 / double(values),
                allSent ? "" : "   NOT EVERY VALUE SENT");

    Panel refused;
    QString bad = list;
    bad[bad.size() - 1] = u'x';
    const Seconds refuse = refused.paste(bad);
    const bool untouched =
        refused.box()->toPlainText().isEmpty() && refused.dialogs.messages.size() == 1;
    std::printf("paste %4d KB ending in a letter     %.3f s (%.3f s)%s\n", kb, refuse.wall,
                refuse.cpu, untouched ? ", refused" : "   NOT REFUSED");
    return whole && allSent && untouched;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    bool ok = run(256 * 1024);
    ok = run(1024 * 1024) && ok;
    return ok ? 0 : 1;
}
