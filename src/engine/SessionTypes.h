#pragma once
// The small types of the board session, apart from the session itself, so that the traffic
// rows, the command line's commands and loaded pictures need not include the whole QObject.

#include "protocol/CommandCode.h"

#include <array>
#include <cstdint>

namespace engine {

enum class SessionState { Disconnected, Detecting, Settling, Polling, BaudChangePause, Open };

// How an upload ended.
enum class UploadEnding { Completed, Cancelled, WriteFailed, PortClosed, PortLost };

// Which way bytes went, for the traffic tap.
enum class Direction { ToBoard, FromBoard };

// A whole screen's page bytes as the upload puts them on the line: column by column of page 0,
// then page 1, and so on.
inline constexpr int kScreenBytes = protocol::kColumns * protocol::kPages;
using Screen = std::array<std::uint8_t, std::size_t(kScreenBytes)>;

} // namespace engine
