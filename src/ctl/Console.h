#pragma once
// Standard output and standard error of vantrelctl: results on the one, messages and the
// progress line on the other. Each line is flushed at once, so that a script reading a pipe sees
// it when it happens.

#include <QString>
#include <cstdio>

namespace ctl {

class Console {
public:
    Console(std::FILE* out = stdout, std::FILE* err = stderr);

    void out(const QString& line);
    void err(const QString& line);
    // A line that replaces itself (carriage return, no line feed): shown only when standard error
    // is a terminal.
    void status(const QString& text);
    // Ends the status line, keeping what it shows.
    void endStatus();
    bool errIsTerminal() const { return errIsTerminal_; }

private:
    std::FILE* out_;
    std::FILE* err_;
    bool errIsTerminal_;
    int statusLength_ = 0; // characters of the status line shown, 0 when none
};

} // namespace ctl
