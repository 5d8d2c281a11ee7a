#include "panels/animation/AnimationPanel.h"

#include "app/Dialogs.h"
#include "panels/PanelWidgets.h"
#include "serial/SerialPort.h"

#include <QGroupBox>
#include <QHBoxLayout>

AnimationPanel::AnimationPanel(SerialPort& port, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), port_(port), dialogs_(dialogs) {
    auto* layout = new QHBoxLayout(this);
    for (const char* title : {"Animation"})
        layout->addWidget(widgets::frame(this, "", QString::fromUtf8(title)));
}

