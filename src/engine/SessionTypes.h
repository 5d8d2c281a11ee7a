#pragma once
// The small types of the board session, apart from the session itself, so that the traffic
// rows, the command line's commands and loaded pictures need not include the whole QObject.

#include "protocol/Screen.h"

namespace engine {

enum class SessionState { Disconnected, Detecting, Settling, Polling, BaudChangePause, Open };

// How an upload ended.
enum class UploadEnding { Completed, Cancelled, WriteFailed, PortClosed, PortLost };

// Which way bytes went, for the traffic tap.
enum class Direction { ToBoard, FromBoard };

// A whole screen's page bytes as the upload puts them on the line.
inline constexpr int kScreenBytes = protocol::kScreenBytes;
using Screen = protocol::Screen;

} // namespace engine
