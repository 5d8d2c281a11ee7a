#include "ctl/Console.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace ctl {

namespace {

void put(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

Console::Console(std::FILE* out, std::FILE* err)
    : out_(out), err_(err), errIsTerminal_(::isatty(::fileno(err)) == 1) {}

Console::Console(bool errIsTerminal)
    : out_(nullptr), err_(nullptr), errIsTerminal_(errIsTerminal) {}

QString Console::escapeControls(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            shown +=
                QStringLiteral("\\x") + QString::number(u, 16).rightJustified(2, u'0').toUpper();
        else
            shown += c;
    }
    return shown;
}

void Console::out(const QString& line) {
    write(line + u'\n');
}

void Console::write(const QString& text) {
    if (outputError_ != 0)
        return;
    const QByteArray bytes = text.toLocal8Bit();
    errno = closedError_;
    const bool written =
        closedError_ == 0 &&
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out_) == size_t(bytes.size()) &&
        (!flushEachLine_ || std::fflush(out_) == 0);
    if (!written)
        outputFailed();
}

void Console::flush() {
    if (outputError_ != 0)
        return;
    errno = closedError_;
    if (closedError_ != 0 || std::fflush(out_) != 0)
        outputFailed();
}

void Console::outputFailed() {
    outputError_ = errno != 0 ? errno : EIO;
    if (onOutputError)
        onOutputError(outputError_);
}

void Console::err(const QString& line) {
    endStatus();
    put(err_, escapeControls(line) + u'\n');
}

void Console::status(const QString& text) {
    if (!errIsTerminal_)
        return;
    const int padding = std::max(0, statusLength_ - int(text.size()));
    put(err_, u'\r' + text + QString(padding, u' '));
    statusLength_ = std::max(1, int(text.size()));
}

void Console::endStatus() {
    if (statusLength_ == 0)
        return;
    put(err_, QStringLiteral("\n"));
    statusLength_ = 0;
}

} // namespace ctl
