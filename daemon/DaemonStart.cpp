#include "daemon/DaemonStart.h"
#include "daemon/RequestMessage.h"
#include "daemon/WriteQueue.h"

#include "runtime/Paths.h"

#include "platform/Process.h"

namespace ombrelo {

bool start_daemon()
{
    return platform::start_detached(platform::host_program(runtime::expand_path(u"%app_path%/Ombrelo.exe")), {});
}

bool request_forecast(std::u16string_view code)
{
    WriteQueue queue(request_queue_name);
    if (!queue.create())
        return false;
    if (!queue.write_message(code))
        return false;
    return start_daemon();
}

} // namespace ombrelo
