#pragma once
// The program's modal message boxes and its file dialogs, behind one seam so that tests can
// answer them and check their exact text, style and title. The file dialogs start in the folder
// last chosen in this run; nothing is kept between runs.

#include <QDateTime>
#include <QString>

class QWidget;

// Message box styles: the icon and the buttons of each box the program shows.
enum class MessageStyle : int {
    CriticalOk = 16,       // critical icon, OK
    QuestionYesNo = 36,    // question icon, Yes and No
    WarningOkCancel = 49,  // warning icon, OK and Cancel
    ExclamationYesNo = 52, // exclamation icon, Yes and No
    InformationOk = 64,    // information icon, OK
};

enum class Answer { Ok, Cancel, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message box and returns the button the user chose.
    virtual Answer message(QWidget* parent, const QString& text, MessageStyle style,
                           const QString& title) = 0;
    // Shows the file-open dialog with a filter such as "Bitmap (*.bmp)"; empty when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    // Shows the file-save dialog with a filter such as "Bitmap (*.bmp)": a name typed without
    // an extension gets the filter's first one, and replacing an existing file is confirmed
    // there. `suggestedName` is offered as the file's name. Empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& filter,
                                 const QString& suggestedName = {}) = 0;
};

// A name for a new file, from what it holds and when: "traffic-2026-12-07-1405.txt".
inline QString suggestedFileName(const QString& what, const QString& suffix) {
    return QStringLiteral("%1-%2.%3")
        .arg(what, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmm")),
             suffix);
}
