// SIGTERM and SIGINT end the window program as File > Exit does, through the application's own
// event loop: the signal is raised in this process, the loop runs until something ends it. A
// program may choose other signals (vantrelctl adds SIGHUP and SIGPIPE); only those are taken.
#include "app/ExitOnTermination.h"
#include "app/MainWindow.h"
#include "support/WindowFixture.h"
#include "system/TerminationSignals.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QTest>
#include <csignal>

namespace {

constexpr int kGaveUp = 99;

// Runs the application's event loop as main() does. Instead of a time limit it gives up after
// a number of passes through the loop, far more than one pending signal needs.
int runEventLoop() {
    int passesLeft = 10000;
    QTimer guard;
    guard.setInterval(0);
    QObject::connect(&guard, &QTimer::timeout, [&passesLeft] {
        if (--passesLeft == 0)
            QCoreApplication::exit(kGaveUp);
    });
    guard.start();
    return QCoreApplication::exec();
}

bool hasDefaultAction(int signalNumber) {
    struct sigaction current {};
    return ::sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_DFL;
}

} // namespace

class tst_TerminationSignals : public QObject {
    Q_OBJECT
private slots:
    void endsLikeExit_data();
    void endsLikeExit();
    void chosenSignalsOnly_data();
    void chosenSignalsOnly();
};

void tst_TerminationSignals::endsLikeExit_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("duringMessageBox");
    QTest::newRow("SIGTERM") << SIGTERM << false;
    QTest::newRow("SIGINT") << SIGINT << false;
    QTest::newRow("SIGTERM while a message box is open") << SIGTERM << true;
}

void tst_TerminationSignals::endsLikeExit() {
    QFETCH(int, signalNumber);
    QFETCH(bool, duringMessageBox);
    {
        WindowFixture f;
        f.window->show();
        f.connectAndPoll();
        QVERIFY(f.port.portOpen());
        QVERIFY(f.find<QTimer>("Timer2")->isActive());
        exitOnTermination(*f.window);

        int messageBoxLoop = -1;
        if (duringMessageBox) {
            // A message box runs an event loop of its own; the signal comes while it is open.
            f.dialogs.whileShown = [&] {
                ::raise(signalNumber);
                QEventLoop box;
                messageBoxLoop = box.exec();
            };
            QTimer::singleShot(0, f.window.get(), [&f] {
                QTest::keyClick(f.find<QPlainTextEdit>("txtString1"), Qt::Key_A); // illegal
            });
        } else {
            QCOMPARE(::raise(signalNumber), 0);
        }
        QCOMPARE(runEventLoop(), 0);

        if (duringMessageBox) {
            QCOMPARE(f.dialogs.messages.size(), 1);
            QCOMPARE(messageBoxLoop, 0);
        }
        QVERIFY(!f.window->isVisible());
        QVERIFY(!f.port.portOpen());
        QCOMPARE(f.port.closeCount, 1);
        for (const char* timer : {"Timer1", "Timer2", "Timer3", "Timer4", "StatusClock"})
            QVERIFY2(!f.find<QTimer>(timer)->isActive(), timer);
        QVERIFY(f.port.writes.isEmpty());
    }
    // With the window gone the signal has its default action again.
    QVERIFY(hasDefaultAction(signalNumber));
}

void tst_TerminationSignals::chosenSignalsOnly_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGPIPE") << SIGPIPE;
}

void tst_TerminationSignals::chosenSignalsOnly() {
    QFETCH(int, signalNumber);
    {
        TerminationSignals termination({SIGHUP, SIGPIPE});
        QSignalSpy requested(&termination, &TerminationSignals::terminationRequested);
        QVERIFY(hasDefaultAction(SIGUSR1)); // not chosen
        QCOMPARE(::raise(signalNumber), 0);
        QTRY_COMPARE(requested.size(), 1);
        QCOMPARE(requested.at(0).at(0).toInt(), signalNumber);
    }
    QVERIFY(hasDefaultAction(signalNumber));
}

QTEST_MAIN(tst_TerminationSignals)
#include "tst_terminationsignals.moc"
