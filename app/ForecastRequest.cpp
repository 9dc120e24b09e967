#include "app/ForecastRequest.h"

#include "daemon/CityCode.h"
#include "daemon/DaemonStart.h"
#include "daemon/RequestMessage.h"
#include "daemon/WriteQueue.h"

#include "runtime/Log.h"

#include "platform/RequestQueue.h"

namespace weather {

bool post_forecast_request(std::u16string_view code, uint32_t timeout_ms)
{
    ombrelo::WriteQueue queue(ombrelo::request_queue_name);
    if (!queue.create())
        return false;
    queue.set_full_timeout(timeout_ms);
    bool written = queue.write_message(code);
    // A full queue drains only while a daemon reads it.
    if (ombrelo::is_valid_city_code(code))
        ombrelo::start_daemon();
    return written;
}

size_t pending_forecast_requests()
{
    // The writer's own options, as the page opens the queue.
    platform::RequestQueue queue;
    if (!queue.open(ombrelo::request_queue_name, { 10, 274, false }))
        return 0;
    return queue.waiting();
}

bool serve_pending_requests()
{
    size_t pending = pending_forecast_requests();
    if (pending == 0)
        return false;
    runtime::get_log() << u"Requests pending in the queue: " << int32_t(pending) << u", daemon started\n";
    return ombrelo::start_daemon();
}

} // namespace weather
