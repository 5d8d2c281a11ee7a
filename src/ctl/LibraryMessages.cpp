#include "ctl/LibraryMessages.h"

#include <QStringList>
#include <QtGlobal>
#include <cstdio>
#include <optional>

namespace ctl {

namespace {

// Enough to see what a library said; a picture loaded in every line of a script cannot fill
// memory with its warnings.
constexpr qsizetype kMaxHeld = 100;

std::optional<bool> verboseChosen; // none while the command line is being read
QStringList held;

void show(const QString& text) {
    std::fputs(qPrintable(text + u'\n'), stderr);
    std::fflush(stderr);
}

void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const QString text = qFormatLogMessage(type, context, message);
    if (type == QtCriticalMsg || type == QtFatalMsg || verboseChosen.value_or(false))
        show(text);
    else if (!verboseChosen && held.size() < kMaxHeld)
        held << text;
}

} // namespace

void LibraryMessages::install() {
    qInstallMessageHandler(handle);
}

void LibraryMessages::setVerbose(bool verbose) {
    verboseChosen = verbose;
    if (verbose)
        for (const QString& text : std::as_const(held))
            show(text);
    held.clear();
}

} // namespace ctl
