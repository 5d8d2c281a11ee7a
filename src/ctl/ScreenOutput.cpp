#include "ctl/ScreenOutput.h"

#include "ctl/Console.h"
#include "ctl/ExitStatus.h"
#include "engine/FileSaver.h"

#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace ctl {

int ScreenOutput::write(const OutputOptions& output, ScreenContents screen, Console& console) {
    screen.scale = output.scale;
    if (output.plain)
        screen.colours = kPlainColours;
    screen.name = output.arrayName();
    const QByteArray bytes = ScreenFileWriter::encode(output.format, screen);
    if (output.toStandardOutput()) {
        console.flush();
        if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) ==
                std::size_t(bytes.size()) &&
            std::fflush(stdout) == 0)
            return kDone;
        const int error = errno;
        console.err(QStringLiteral("vantrelctl: write error: %1")
                        .arg(QString::fromLocal8Bit(std::strerror(error))));
        return error == EPIPE ? kSignalBase + SIGPIPE : kWriteError;
    }
    const QString why = engine::FileSaver::save(output.path, bytes);
    if (why.isEmpty())
        return kDone;
    console.err(QStringLiteral("vantrelctl: the file %1 cannot be written: %2").arg(output.path, why));
    return kWriteError;
}

int ScreenOutput::writeConverted(const Invocation& invocation, Console& console) {
    ScreenContents screen;
    screen.memory = *invocation.converted;
    screen.glass = ScreenContents::plainGlass(screen.memory);
    screen.origin = QFileInfo(invocation.convertedFrom).fileName();
    screen.conversion = invocation.conversion;
    return write(invocation.output, screen, console);
}

} // namespace ctl
