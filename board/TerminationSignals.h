#pragma once
// SIGINT and SIGTERM as a Qt signal: the handler only writes to a pipe, the event loop reads it,
// so the program can end cleanly (remove its link, close the terminal) from the event loop.
// One instance per process.

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
