// Times vantrelctl as a whole process, the way a build script or a cron job runs it:
//   - `vantrelctl --port PTY --rate 115200 picture FILE` against the virtual board (in this
//     process's event loop), from start to exit: detection, the upload of 2,563 messages and
//     closing; checks that the board's memory then holds the picture;
//   - `vantrelctl --version`: the start-up alone; `--dry-run clear` adds Qt's application object
//     and the checking of a command;
//   - `vantrelctl --dry-run script -` with 16 MB of commands on standard input (the largest
//     script it takes): its peak resident memory;
//   - `vantrelctl render --output FILE.png script FILE` of a 100-line script (text in every
//     font, drawing, modes, screen memory, a picture upload), no board.
// Goals: the picture under 1 s; start-up under 30 ms; the script under 256 MB; the render
// under 50 ms.

#include "board/VirtualBoard.h"
#include "support/BoardPixels.h"
#include "support/ProgramRun.h"
#include "support/TestBitmaps.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef VANTRELCTL_PATH
#error "VANTRELCTL_PATH must name the built vantrelctl"
#endif

namespace {

constexpr int kPictureRuns = 5;
constexpr int kVersionRuns = 20;
constexpr int kGiveUpMs = 60'000;

bool lit(int x, int y) {
    return (x * 5 + y * 3) % 7 == 0;
}

struct Timed {
    double ms = 0;
    int exitCode = -1;
    QByteArray err;
};

// Runs the program with the event loop going (the virtual board answers from it).
Timed timeRun(const QStringList& arguments) {
    QElapsedTimer clock;
    clock.start();
    const Finished finished = runProgram(QStringLiteral(VANTRELCTL_PATH), arguments, kGiveUpMs);
    return Timed{double(clock.nsecsElapsed()) / 1e6, finished.exitCode, finished.err};
}

void printFigures(const char* what, std::vector<double> ms, double goalMs) {
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("  %-44s median %7.1f ms  (min %.1f, max %.1f, %zu runs)  goal < %.0f ms: %s\n",
                what, median, ms.front(), ms.back(), ms.size(), goalMs,
                median < goalMs ? "met" : "MISSED");
}

// A script of whole lines, `lines` repeated, up to 16 MB.
bool writeScript(const QString& path, const QByteArrayList& lines) {
    constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
    QByteArray text;
    for (qsizetype i = 0; text.size() + lines[i % lines.size()].size() + 1 <= kMaxBytes; ++i)
        text += lines[i % lines.size()] + '\n';
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// The peak resident memory, in MB, of vantrelctl reading `inputPath` as standard input, its
// output thrown away; negative when it did not exit with 0.
double peakMemoryMb(const QStringList& arguments, const QString& inputPath) {
    std::vector<QByteArray> words{QByteArrayLiteral(VANTRELCTL_PATH)};
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const QByteArray input = QFile::encodeName(inputPath);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open(input.constData(), O_RDONLY), STDIN_FILENO);
        ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return double(usage.ru_maxrss) / 1024; // ru_maxrss is in kB
}

void printPeak(const char* what, double mb, double goalMb) {
    std::printf("  %-44s peak %7.1f MB  goal < %.0f MB: %s\n", what, mb, goalMb,
                mb >= 0 && mb < goalMb ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    VirtualBoard board;
    if (!board.open()) {
        std::fprintf(stderr, "cannot open the virtual board: %s\n",
                     qPrintable(board.errorString()));
        return 1;
    }
    board.model().setBaudRate(8); // 115200

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    testbmp::Spec bitmap;
    bitmap.index = [](int x, int y) { return lit(x, y) ? 1 : 0; };
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(testbmp::write(bitmap)) <= 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    file.close();

    const display::BoardModel::Memory expected = memoryShowing(lit);

    int status = 0;
    std::vector<double> picture;
    for (int i = 0; i < kPictureRuns; ++i) {
        board.model().clearDisplay(16);
        const Timed t =
            timeRun({QStringLiteral("--port"), board.devicePath(), QStringLiteral("--rate"),
                     QStringLiteral("115200"), QStringLiteral("picture"), path});
        // The program has ended; the board may still be reading its last bytes.
        QElapsedTimer settle;
        settle.start();
        while (board.model().memory() != expected && settle.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        const bool arrived = board.model().memory() == expected;
        if (t.exitCode != 0 || !arrived) {
            std::fprintf(stderr, "  run %d: exit %d, picture %s: %s\n", i + 1, t.exitCode,
                         arrived ? "arrived" : "NOT arrived", t.err.constData());
            status = 1;
        }
        picture.push_back(t.ms);
    }
    std::vector<double> version;
    for (int i = 0; i < kVersionRuns; ++i) {
        const Timed t = timeRun({QStringLiteral("--version")});
        if (t.exitCode != 0)
            status = 1;
        version.push_back(t.ms);
    }
    // For comparison: start-up with Qt's application object and the checking of a command.
    std::vector<double> dryRun;
    for (int i = 0; i < kVersionRuns; ++i) {
        const Timed t = timeRun({QStringLiteral("--dry-run"), QStringLiteral("clear")});
        if (t.exitCode != 0)
            status = 1;
        dryRun.push_back(t.ms);
    }
    // A render of a 100-line script, written to a PNG, whole process.
    const QString renderScript = dir.filePath(QStringLiteral("render.txt"));
    QByteArray lines = "picture " + QFile::encodeName(path) + '\n';
    for (int i = 1; lines.count('\n') < 100; ++i)
        lines += QStringLiteral("text \"Line %1\" --font %2 --at %3,%4\nrect %4 %3 %5 60\n"
                                "circle 9 %5 64 --clear\nsave %6\nmode %7\n")
                     .arg(i)
                     .arg(1 + i % 4)
                     .arg(i % 16)
                     .arg(i % 100)
                     .arg(50 + i)
                     .arg(5 + i)
                     .arg(i % 7)
                     .toUtf8();
    lines = lines.split('\n').mid(0, 100).join('\n') + '\n'; // exactly 100 lines
    QFile renderFile(renderScript);
    if (!renderFile.open(QIODevice::WriteOnly) || renderFile.write(lines) != lines.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(renderScript));
        return 1;
    }
    renderFile.close();
    std::vector<double> render;
    for (int i = 0; i < kVersionRuns; ++i) {
        const Timed t = timeRun({QStringLiteral("render"), QStringLiteral("--output"),
                                 dir.filePath(QStringLiteral("render.png")),
                                 QStringLiteral("--force"), QStringLiteral("script"),
                                 renderScript});
        if (t.exitCode != 0) {
            std::fprintf(stderr, "  render: exit %d: %s\n", t.exitCode, t.err.constData());
            status = 1;
        }
        render.push_back(t.ms);
    }

    std::printf("vantrelctl, whole process:\n");
    printFigures("picture at 115200 baud (virtual board)", picture, 1000);
    printFigures("--version (start-up)", version, 30);
    printFigures("--dry-run clear (start-up and checks)", dryRun, 30);
    printFigures("render of a 100-line script to PNG", render, 50);

    // The largest script, in the shortest lines (the most commands per byte) and in a mix.
    const QString clears = dir.filePath(QStringLiteral("clears.txt"));
    const QString mixed = dir.filePath(QStringLiteral("mixed.txt"));
    if (!writeScript(clears, {"clear"}) ||
        !writeScript(mixed, {"text Hello --at 2,10", "pixel 5 7", "fill 0 0 9 9 --clear",
                             "pattern 1,2,3,4,5,6,7,8", "# a comment", "clear 3"})) {
        std::fprintf(stderr, "cannot write the scripts\n");
        return 1;
    }
    const QStringList script{QStringLiteral("--dry-run"), QStringLiteral("script"),
                             QStringLiteral("-")};
    const double clearsMb = peakMemoryMb(script, clears);
    const double mixedMb = peakMemoryMb(script, mixed);
    if (clearsMb < 0 || mixedMb < 0)
        status = 1;
    printPeak("--dry-run script - (16 MB of clear lines)", clearsMb, 256);
    printPeak("--dry-run script - (16 MB of mixed lines)", mixedMb, 256);
    return status;
}
