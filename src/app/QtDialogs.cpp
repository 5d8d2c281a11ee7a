#include "app/QtDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

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

void QtDialogs::remember(const QString& fileName) {
    if (!fileName.isEmpty())
        folder_ = QFileInfo(fileName).absolutePath();
}

QString QtDialogs::openFileName(QWidget* parent, const QString& filter) {
    const QString fileName = QFileDialog::getOpenFileName(parent, QString(), folder_, filter);
    remember(fileName);
    return fileName;
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& filter,
                                const QString& suggestedName) {
    const QString start = folder_.isEmpty() ? QDir::currentPath() : folder_;
    QFileDialog dialog(parent, QString(),
                       suggestedName.isEmpty() ? start : QDir(start).filePath(suggestedName),
                       filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QRegularExpressionMatch suffix =
        QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    if (suffix.hasMatch())
        dialog.setDefaultSuffix(suffix.captured(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    remember(dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
}
