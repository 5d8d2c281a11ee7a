#include "panels/text/TextPanel.h"

#include "app/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "serial/SerialPort.h"

#include <QGroupBox>
#include <QHBoxLayout>

TextPanel::TextPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), port_(port), dialogs_(dialogs) {
    auto* layout = new QHBoxLayout(this);
    for (const char* title : {"Input Text", "Font"})
        layout->addWidget(widgets::frame(this, "", QString::fromUtf8(title)));
}

