// How a page asks for a forecast: the city code on the request queue, and the daemon
// started whenever the queue holds requests, also when the write failed because the
// queue is full (requests left by an earlier run whose daemon ended): the daemon drains
// it, and the page writes again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace weather {

// Writes the code, waiting at most the time for room; the daemon is started when the
// queue could be opened. True when the request is in the queue.
bool post_forecast_request(std::u16string_view code, uint32_t timeout_ms);

// Requests waiting in the queue (opening it when it does not exist yet).
size_t pending_forecast_requests();

// Starts the daemon when the queue holds requests; true when it was started.
bool serve_pending_requests();

} // namespace weather
