#pragma once
// Standard output and standard error of vantrelctl: results on the one, messages and the
// progress line on the other. Each line is flushed at once, so that a script reading a pipe sees
// it when it happens. A write to standard output that fails (a full disk, a reader that went
// away) is reported once through onOutputError; nothing more is written there after it.

#include <QString>
#include <cstdio>
#include <functional>

namespace ctl {

class Console {
public:
    Console(std::FILE* out = stdout, std::FILE* err = stderr);
    virtual ~Console() = default;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    virtual void out(const QString& line);
    // false: lines are buffered until flush(), for output no one waits for line by line.
    void setFlushEachLine(bool flushEachLine) { flushEachLine_ = flushEachLine; }
    virtual void flush();
    // Text as it is, without a line feed added.
    virtual void write(const QString& text);
    // A message; control characters in it (a NUL from a bad script line) show as \xHH.
    virtual void err(const QString& line);
    // A line that replaces itself (carriage return, no line feed): shown only when standard error
    // is a terminal.
    virtual void status(const QString& text);
    // Ends the status line, keeping what it shows.
    virtual void endStatus();
    bool errIsTerminal() const { return errIsTerminal_; }

    // errno of the first failed write to standard output; 0 while none failed.
    int outputError() const { return outputError_; }
    // Takes `error` as the failure of every write to standard output from now on (it was
    // closed); reported at the first write.
    void failOutput(int error) { closedError_ = error; }
    std::function<void(int error)> onOutputError;

    static QString escapeControls(const QString& text);

protected:
    // For a console that passes everything on to another: no streams of its own.
    explicit Console(bool errIsTerminal);

private:
    void outputFailed(); // with errno set
    std::FILE* out_;
    std::FILE* err_;
    bool errIsTerminal_;
    int statusLength_ = 0; // characters of the status line shown, 0 when none
    int outputError_ = 0;
    int closedError_ = 0;
    bool flushEachLine_ = true;
};

} // namespace ctl
