#include "support/WindowFixture.h"

#include "panels/connection/ConnectionPanel.h"

#include <QLabel>
#include <QPushButton>

WindowFixture::WindowFixture(QMap<int, QString> devices) {
    window = std::make_unique<MainWindow>(port, dialogs,
                                          PortMap(devices, [](const QString&) { return true; }));
}

ConnectionPanel* WindowFixture::connection() const {
    return window->connectionPanel();
}

QString WindowFixture::statusText() const {
    return find<QLabel>("StatusPanel1")->text();
}

void WindowFixture::connectWith(const QByteArray& reply) {
    find<QPushButton>("cmd_conecta")->click();
    port.receive(reply);
    connection()->Timer4_Timer();
}

void WindowFixture::connectAndPoll() {
    connectWith("45!");
    connection()->Timer3_Timer();
    port.clearWrites();
}
