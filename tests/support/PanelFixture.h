#pragma once
// One panel on a port that is open and scripted dialogs.

#include "serial/FakeSerialPort.h"
#include "support/FindControl.h"
#include "support/RecordingDialogs.h"

template <typename Panel, typename Port = FakeSerialPort> struct PanelFixture {
    PanelFixture() : panel(port, dialogs) { port.setOpenForTest(true); }
    template <typename T, typename Name> T* find(Name name) const {
        return findControl<T>(&panel, name);
    }
    Port port;
    RecordingDialogs dialogs;
    Panel panel;
};
