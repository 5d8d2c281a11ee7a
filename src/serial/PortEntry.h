#pragma once
// One line of the port list: the number the program uses, the device behind it and what the
// system says about the adapter. Read from the file system only; no device is opened.

#include <QString>

struct PortEntry {
    int number = 0;       // 1..16: CommPort, and the "COMn" of the status bar
    QString devicePath;   // the path the number maps to (/dev/ttyUSB0, or a VANTREL_COM<n> path)
    QString deviceName;   // the device it leads to, short: "ttyUSB0", "pts/4"
    QString byIdPath;     // /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
    QString product;      // the USB adapter's product name, "FT232R USB UART"
    QString stableId;     // the same adapter after re-plugging has the same id; empty: unknown
    QString resolvedPath; // where devicePath leads when it is a link; else devicePath
    bool virtualBoard = false; // a running vantrel-board announced this pseudo-terminal

    // "1  ttyUSB0  FT232R USB UART", or "1  ttyUSB0" when the product is unknown;
    // "3  Virtual board  /dev/pts/4" for a virtual board.
    QString label() const;
    // The full path, where a link leads, and the by-id name, one per line.
    QString toolTip() const;

    bool operator==(const PortEntry&) const = default;
};
