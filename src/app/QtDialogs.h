#pragma once
// The real message boxes and file dialog.

#include "panels/Dialogs.h"

class QtDialogs : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, MessageStyle style,
                   const QString& title) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter) override;
};
