#pragma once
// SIGINT and SIGTERM end the program as File > Exit does: the window closes (its timers stop,
// the port is released, nothing is sent) and, being the last window, ends the event loop and
// any message box's loop with it (the box then gives its safe answer).

class MainWindow;

// Installs the handlers for the life of `window`; they are restored to the defaults with it.
void exitOnTermination(MainWindow& window);
