// The daemon's own thread message.
#pragma once

#include <cstdint>

namespace ombrelo {

// Posted by the forecast loader to its own thread when nothing is pending any more.
constexpr uint32_t message_done = 0x421; // WM_USER + 33

} // namespace ombrelo
