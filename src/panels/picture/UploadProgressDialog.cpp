#include "panels/picture/UploadProgressDialog.h"

#include "panels/PanelWidgets.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

UploadProgressDialog::UploadProgressDialog(int maximum, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("UploadProgress"));
    setWindowTitle(QStringLiteral("Sending picture"));
    setWindowModality(Qt::ApplicationModal);

    auto* text = new QLabel(QStringLiteral("Sending the picture to the board..."), this);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("UploadProgressBar"));
    bar_->setAccessibleName(QStringLiteral("Picture upload progress"));
    bar_->setRange(0, maximum);
    bar_->setValue(0);
    bar_->setFormat(QStringLiteral("%v of %m"));
    auto* cancel = widgets::button(this, "UploadCancel", QStringLiteral("Cancel"),
                                   QStringLiteral("Cancel the picture upload"));
    cancel->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(bar_);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    setMinimumWidth(320);
}

void UploadProgressDialog::setValue(int value) {
    bar_->setValue(value);
}
int UploadProgressDialog::value() const {
    return bar_->value();
}
