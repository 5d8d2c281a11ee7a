#include "support/RecordingDialogs.h"

Answer RecordingDialogs::message(QWidget*, const QString& text, MessageStyle style,
                                 const QString& title) {
    messages.append({text, style, title});
    if (whileShown)
        whileShown();
    if (!answers.isEmpty())
        return answers.dequeue();
    const bool yesNo =
        style == MessageStyle::QuestionYesNo || style == MessageStyle::ExclamationYesNo;
    return yesNo ? Answer::Yes : Answer::Ok;
}

QString RecordingDialogs::openFileName(QWidget*, const QString& filter) {
    fileFilters.append(filter);
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString RecordingDialogs::saveFileName(QWidget*, const QString& filter,
                                       const QString& suggestedName) {
    saveFileFilters.append(filter);
    suggestedNames.append(suggestedName);
    return saveFileNames.isEmpty() ? QString() : saveFileNames.dequeue();
}
