#pragma once
// Answers the program's message boxes and file dialog in tests, and records what was shown.

#include "panels/Dialogs.h"

#include <QList>
#include <QQueue>
#include <functional>

struct ShownMessage {
    QString text;
    MessageStyle style;
    QString title;
};

class RecordingDialogs : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, MessageStyle style,
                   const QString& title) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter,
                         const QString& suggestedName = {}) override;

    QList<ShownMessage> messages;     // every box shown, in order
    QQueue<Answer> answers;           // answers to give; when empty: Ok / Yes
    QQueue<QString> fileNames;        // file dialog results; when empty: cancelled ("")
    QList<QString> fileFilters;       // filters the file dialog was shown with
    QQueue<QString> saveFileNames;    // save dialog results; when empty: cancelled ("")
    QList<QString> saveFileFilters;   // filters the save dialog was shown with
    QList<QString> suggestedNames;    // the names the save dialog offered
    std::function<void()> whileShown; // runs inside each message box (for re-entrancy tests)
};
