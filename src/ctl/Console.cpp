#include "ctl/Console.h"

#include <algorithm>
#include <unistd.h>

namespace ctl {

Console::Console(std::FILE* out, std::FILE* err)
    : out_(out), err_(err), errIsTerminal_(::isatty(::fileno(err)) == 1) {}

void Console::out(const QString& line) {
    std::fputs((line + u'\n').toLocal8Bit().constData(), out_);
    std::fflush(out_);
}

void Console::err(const QString& line) {
    endStatus();
    std::fputs((line + u'\n').toLocal8Bit().constData(), err_);
    std::fflush(err_);
}

void Console::status(const QString& text) {
    if (!errIsTerminal_)
        return;
    const int padding = std::max(0, statusLength_ - int(text.size()));
    std::fputs((u'\r' + text + QString(padding, u' ')).toLocal8Bit().constData(), err_);
    std::fflush(err_);
    statusLength_ = std::max(1, int(text.size()));
}

void Console::endStatus() {
    if (statusLength_ == 0)
        return;
    std::fputs("\n", err_);
    std::fflush(err_);
    statusLength_ = 0;
}

} // namespace ctl
