#include "panels/drawing/DrawingPanel.h"

#include "app/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "serial/SerialPort.h"

#include <QGroupBox>
#include <QHBoxLayout>

DrawingPanel::DrawingPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), port_(port), dialogs_(dialogs) {
    auto* layout = new QHBoxLayout(this);
    for (const char* title : {"Line/Rectangle/Circle/Pixel"})
        layout->addWidget(widgets::frame(this, "", QString::fromUtf8(title)));
}

