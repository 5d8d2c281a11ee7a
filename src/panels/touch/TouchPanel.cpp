#include "panels/touch/TouchPanel.h"

#include "app/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "serial/SerialPort.h"

#include <QGroupBox>
#include <QHBoxLayout>

TouchPanel::TouchPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), port_(port), dialogs_(dialogs) {
    auto* layout = new QHBoxLayout(this);
    for (const char* title : {"Touch Screen"})
        layout->addWidget(widgets::frame(this, "", QString::fromUtf8(title)));
}

void TouchPanel::showResponse(const QString&) {}
