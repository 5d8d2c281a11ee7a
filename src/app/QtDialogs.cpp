#include "app/QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

Answer QtDialogs::message(QWidget* parent, const QString& text, MessageStyle style,
                          const QString& title) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (style) {
    case MessageStyle::CriticalOk:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageStyle::QuestionYesNo:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageStyle::WarningOkCancel:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageStyle::ExclamationYesNo:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageStyle::InformationOk:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Esc or the close box: the safe answer of each style.
        return style == MessageStyle::QuestionYesNo || style == MessageStyle::ExclamationYesNo
                   ? Answer::No
                   : (style == MessageStyle::WarningOkCancel ? Answer::Cancel : Answer::Ok);
    }
}

QString QtDialogs::openFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
}
