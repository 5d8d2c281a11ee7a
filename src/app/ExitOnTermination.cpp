#include "app/ExitOnTermination.h"

#include "app/MainWindow.h"
#include "system/TerminationSignals.h"

void exitOnTermination(MainWindow& window) {
    auto* termination = new TerminationSignals(&window);
    QObject::connect(termination, &TerminationSignals::terminationRequested, &window,
                     &MainWindow::mnuExit_Click);
}
