#pragma once
// SIGINT and SIGTERM, or the signals a program chooses, as a Qt signal: the handler only writes
// to a pipe, the event loop reads it, so a program can end cleanly from its event loop (the
// virtual board removes its link, the window releases the serial port). Signals not chosen keep
// their default action. One instance per process; a second one is not valid.

#include <QList>
#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr); // SIGINT and SIGTERM
    explicit TerminationSignals(const QList<int>& signalNumbers, QObject* parent = nullptr);
    ~TerminationSignals() override; // restores the default actions

    bool isValid() const { return notifier_ != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
    QList<int> handled_;
};
