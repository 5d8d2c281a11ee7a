#pragma once
// Why a port failed, as one typed value. The numbers are the ones the window's "Critical Error"
// box shows after "Error code:"; the local device's are QSerialPort's own (1 device not found,
// 2 permission or in use, 3 already open, 7 settings not supported, ...).

#include <QString>

enum class PortError {
    None = 0,
    DeviceNotFound = 1,
    Permission = 2,
    Open = 3,
    Write = 4,
    Read = 5,
    Resource = 6,
    UnsupportedOperation = 7,
    Unknown = 8,
    Timeout = 9,
    NotOpen = 10,
};

// The number the window shows for `error`.
constexpr int portErrorNumber(PortError error) {
    return int(error);
}

// A few words naming the kind of failure ("device not found").
QString portErrorText(PortError error);
