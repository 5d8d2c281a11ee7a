#pragma once
// The serial port on QSerialPort. Port numbers become device paths through the PortMap.

#include "serial/PortMap.h"
#include "serial/SerialPort.h"

class QSerialPort;

class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(PortMap portMap, QObject* parent = nullptr);
    ~QtSerialPort() override;

    void setCommPort(int portNumber) override { portNumber_ = portNumber; }
    int commPort() const override { return portNumber_; }
    void setSettings(const QString& settings) override { settings_ = settings; }
    QString settings() const override { return settings_; }

    OpenResult openPort() override;
    void closePort() override;
    bool portOpen() const override;
    bool output(const QByteArray& bytes) override;
    QByteArray input() override;
    qint64 bytesToWrite() const override;

private:
    PortMap portMap_;
    int portNumber_ = 0;
    QString settings_ = QStringLiteral("9600,N,8,1");
    QSerialPort* serial_;
};
