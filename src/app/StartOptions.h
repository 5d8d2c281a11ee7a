#pragma once
// What the command line asks of the window at start:
//   --port N|PATH  the port selected in the list (a number 1..16, or a device path; a path no
//                  number names yet gets the number after the listed ones, as VANTREL_COM<n>
//                  would give it)
//   --connect      Connect pressed once the window shows
//   FILE           a picture opened on the Graphic page, as "Open" opens it
// Without any of them the window starts as it always has.

#include "serial/PortMap.h"

#include <QString>

class MainWindow;
class QCommandLineParser;

class StartOptions {
public:
    // Exit status for a value that cannot be used.
    static constexpr int kUsageError = 2;

    static void addTo(QCommandLineParser& parser);
    // Takes the parsed options; false with errorString() for an unusable value.
    bool read(const QCommandLineParser& parser);
    QString errorString() const { return error_; }

    // The port map of this machine, in which a --port PATH has a number.
    PortMap portMap();
    // Selects the port, presses Connect, opens the picture: for the window just shown.
    void applyTo(MainWindow& window) const;

private:
    int portNumber_ = 0;
    QString portPath_;
    bool connect_ = false;
    QString file_;
    QString error_;
};
