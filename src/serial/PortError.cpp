#include "serial/PortError.h"

QString portErrorText(PortError error) {
    switch (error) {
    case PortError::None:
        return QStringLiteral("no error");
    case PortError::DeviceNotFound:
        return QStringLiteral("device not found");
    case PortError::Permission:
        return QStringLiteral("permission denied or in use");
    case PortError::Open:
        return QStringLiteral("already open");
    case PortError::Write:
        return QStringLiteral("write failed");
    case PortError::Read:
        return QStringLiteral("read failed");
    case PortError::Resource:
        return QStringLiteral("device unavailable");
    case PortError::UnsupportedOperation:
        return QStringLiteral("settings not supported");
    case PortError::Unknown:
        return QStringLiteral("unknown error");
    case PortError::Timeout:
        return QStringLiteral("timed out");
    case PortError::NotOpen:
        return QStringLiteral("not open");
    }
    return QStringLiteral("unknown error");
}
