#pragma once
// One board's console when vantrelctl drives several: every line it prints, on standard output
// and standard error, and its progress line begin with the board's port, and all of it goes
// through the one shared console (one status line, one record of write errors).

#include "ctl/Console.h"

namespace ctl {

class PrefixedConsole : public Console {
public:
    // `port` as the user named it: "/dev/ttyUSB0", "rfc2217://pi.local:2000".
    PrefixedConsole(Console& shared, const QString& port)
        : Console(shared.errIsTerminal()), shared_(shared), prefix_(port + QStringLiteral(": ")) {}

    void out(const QString& line) override { shared_.out(prefix_ + line); }
    void write(const QString& text) override { shared_.write(text); }
    void flush() override { shared_.flush(); }
    void err(const QString& line) override { shared_.err(prefix_ + line); }
    void status(const QString& text) override { shared_.status(prefix_ + text); }
    void endStatus() override { shared_.endStatus(); }

private:
    Console& shared_;
    QString prefix_;
};

} // namespace ctl
