#pragma once
// A whole screen's page bytes as the upload puts them on the line: column by column of page 0,
// then page 1, and so on. One type for the session, the picture files and both front ends.

#include "protocol/CommandCode.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace protocol {

inline constexpr int kScreenBytes = kColumns * kPages;
using Screen = std::array<std::uint8_t, std::size_t(kScreenBytes)>;

} // namespace protocol
