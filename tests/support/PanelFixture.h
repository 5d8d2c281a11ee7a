#pragma once
// One panel on a port that is open and scripted dialogs.

#include "engine/BoardSession.h"
#include "support/FakeSerialPort.h"
#include "support/FindControl.h"
#include "support/RecordingDialogs.h"

template <typename Panel, typename Port = FakeSerialPort> struct PanelFixture {
    PanelFixture() : panel(session, dialogs) { port.setOpenForTest(true); }
    template <typename T, typename Name> T* find(Name name) const {
        return findControl<T>(&panel, name);
    }
    Port port;
    engine::BoardSession session{port};
    RecordingDialogs dialogs;
    Panel panel;
};
