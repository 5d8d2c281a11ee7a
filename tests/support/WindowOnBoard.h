#pragma once
// The program as `make run` shows it: the real main window on QtSerialPort, its line a
// pseudo-terminal to the virtual board in this process's event loop, and scripted dialogs.

#include "app/MainWindow.h"
#include "board/VirtualBoard.h"
#include "support/FindControl.h"
#include "support/RecordingDialogs.h"
#include "transport/QtSerialPort.h"

#include <memory>

struct WindowOnBoard {
    // Opens the board and, once it is open, makes the window (not yet shown) with the board's
    // device as COM1.
    WindowOnBoard();
    bool isOpen() const { return window != nullptr; }

    template <typename T> T* find(const char* objectName) const {
        return findControl<T>(window.get(), objectName);
    }
    void click(const char* objectName) const;
    // Presses "Connect" and waits until the window polls the board (its Timer2 runs); false when
    // it does not within timeoutMs.
    bool connectToBoard(int timeoutMs) const;

    // Destroyed in reverse: the window first, the board last.
    VirtualBoard board;
    RecordingDialogs dialogs;
    std::unique_ptr<QtSerialPort> port;
    std::unique_ptr<MainWindow> window;
};
