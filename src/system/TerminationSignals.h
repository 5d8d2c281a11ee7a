#pragma once
// SIGINT and SIGTERM as a Qt signal: the handler only writes to a pipe, the event loop reads it,
// so a program can end cleanly from its event loop (the virtual board removes its link, the
// window releases the serial port). One instance per process; a second one is not valid.

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override; // restores the default handlers

    bool isValid() const { return notifier_ != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
};
