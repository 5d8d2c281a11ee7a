#pragma once
// The real message boxes and file dialogs.

#include "panels/Dialogs.h"

class QtDialogs : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, MessageStyle style,
                   const QString& title) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter,
                         const QString& suggestedName = {}) override;

private:
    void remember(const QString& fileName);

    QString folder_; // where the last file was chosen, this run; empty: the working folder
};
