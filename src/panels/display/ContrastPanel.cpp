#include "panels/display/ContrastPanel.h"

#include "app/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "serial/SerialPort.h"

#include <QGroupBox>
#include <QHBoxLayout>

ContrastPanel::ContrastPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), port_(port), dialogs_(dialogs) {
    auto* layout = new QHBoxLayout(this);
    for (const char* title : {"Contrast", "Backlight"})
        layout->addWidget(widgets::frame(this, "", QString::fromUtf8(title)));
}

void ContrastPanel::takeOverContrast(int) {}
