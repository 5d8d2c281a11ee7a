// Peak memory (largest resident set) of `vantrelctl --dry-run picture FILE` as a whole process,
// on small files that claim huge pictures:
//   - a progressive JPEG of 141 bytes claiming 46000 x 46000 pixels, and one claiming
//     65000 x 65000 (which the size check once let through, as it is decoded at an eighth);
//   - an 8000 x 8000 RGB PNG of about 190 KB with a gamma chunk, whose colours need converting.
// Goal: each under 256 MB.

#include "picture/PictureBombs.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef VANTRELCTL_PATH
#error "VANTRELCTL_PATH must name the built vantrelctl"
#endif

extern char** environ;

namespace {

constexpr double kGoalMegabytes = 256;

struct Run {
    double peakMegabytes = -1;
    int exitCode = -1; // -1: did not run or ended by a signal
};

// Runs vantrelctl with its output thrown away and reads its peak from wait4 (a child's peak
// starts from its parent's at the time it was started, so this process stays small).
Run peakOf(const QString& file) {
    const QByteArray program = VANTRELCTL_PATH;
    const QByteArray path = QFile::encodeName(file);
    std::vector<char*> argv{const_cast<char*>(program.constData()), const_cast<char*>("--dry-run"),
                            const_cast<char*>("picture"), const_cast<char*>(path.constData()),
                            nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int failed = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Run run;
    if (failed != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return run;
    run.peakMegabytes = double(usage.ru_maxrss) / 1024; // kilobytes
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    return run;
}

QByteArray gammaPng(int side) {
    QImage picture(side, side, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(picture);
    // A gamma of 1/2.2 stated after the header, so that the colours need converting.
    constexpr int kAfterHeader = 8 + 25;
    return png.insert(kAfterHeader, bombs::pngChunk("gAMA", bombs::be32(45455)));
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Writes the file in a child process, so that this process does not grow by the picture it
// encodes.
bool writeApart(const QString& path, const std::function<QByteArray()>& make) {
    const pid_t child = fork();
    if (child == 0)
        _exit(write(path, make()) ? 0 : 1);
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    using bombs::JpegCoding;
    const std::vector<std::pair<QString, std::function<QByteArray()>>> files{
        {QStringLiteral("progressive-46000x46000.jpg"),
         [] { return bombs::jpegClaiming(46000, 46000, JpegCoding::Progressive); }},
        {QStringLiteral("progressive-65000x65000.jpg"),
         [] { return bombs::jpegClaiming(65000, 65000, JpegCoding::Progressive); }},
        {QStringLiteral("rgb-gamma-8000x8000.png"), [] { return gammaPng(8000); }},
    };
    int status = 0;
    std::printf("vantrelctl --dry-run picture FILE, peak memory of the whole process:\n");
    for (const auto& [name, make] : files) {
        const QString path = dir.filePath(name);
        if (!writeApart(path, make)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        const Run run = peakOf(path);
        const bool met = run.exitCode >= 0 && run.peakMegabytes < kGoalMegabytes;
        std::printf("  %-28s %7lld bytes  peak %7.1f MB  exit %d  goal < %.0f MB: %s\n",
                    qPrintable(name), QFileInfo(path).size(), run.peakMegabytes, run.exitCode,
                    kGoalMegabytes, met ? "met" : "MISSED");
        if (!met)
            status = 1;
    }
    return status;
}
