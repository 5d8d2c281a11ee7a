#pragma once
// The dialog seam for benchmarks: "Open" gives one file, every box is answered OK and printed
// to standard error, and counted, so that a run can say whether anything went wrong.

#include "panels/Dialogs.h"

#include <QString>
#include <cstdio>

class QuietDialogs : public Dialogs {
public:
    explicit QuietDialogs(QString file) : file_(std::move(file)) {}
    Answer message(QWidget*, const QString& text, MessageStyle, const QString& title) override {
        std::fprintf(stderr, "  message box \"%s\": %s\n", qPrintable(title), qPrintable(text));
        ++shown;
        return Answer::Ok;
    }
    QString openFileName(QWidget*, const QString&) override { return file_; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    int shown = 0;

private:
    QString file_;
};
