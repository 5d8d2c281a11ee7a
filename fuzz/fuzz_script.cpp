// A command file for vantrelctl, as `script FILE` reads it: the bytes are written to a file and
// go through CommandParser::parseScript, so ScriptFile's size limit, ScriptReader's word
// splitting and every command's argument checks are those of the program. `script -` inside
// reads the same bytes as standard input. A script either gives commands or an error that names
// where it stopped; nothing it says may crash, hang or leak (the sanitizers watch).

#include "ctl/CommandParser.h"
#include "ctl/ScriptFile.h"
#include "ctl/ScriptReader.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// One file for every input, rewritten each time: a memory file, so nothing is left behind.
int scriptFile() {
    static const int fd = memfd_create("fuzz_script", 0);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_script";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv); // pictures named in a script are decoded with Qt
    const int fd = scriptFile();
    check(fd >= 0, "memory file");
    check(ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == ssize_t(size), "script written");
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // `script -` and `picture -` inside the script read the same bytes, with their own limits.
    ctl::CommandParser parser([&](qint64 maxBytes) {
        lseek(fd, 0, SEEK_SET);
        return ctl::ScriptFile::readDescriptor(fd, QStringLiteral("standard input"), maxBytes);
    });
    ctl::ParsedCommands parsed;
    parser.parseScript(path, parsed);
    // Every error names the line it stopped at ("/proc/self/fd/3 line 2: ...").
    check(parsed.ok() || parsed.error.contains(QStringLiteral(" line ")), "error names its line");

    // The reader alone: it stops at the first bad line, and every line it gave has words.
    int lastLine = 0;
    const ctl::ScriptError error = ctl::ScriptReader::read(bytes, [&](int line, const QStringList& words) {
        check(line > lastLine, "lines in order");
        check(!words.isEmpty(), "a line with words");
        lastLine = line;
        return true;
    });
    check(error.ok() || error.line > lastLine, "the bad line comes after the good ones");
    return 0;
}
