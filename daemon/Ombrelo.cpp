#include "daemon/Ombrelo.h"
#include "daemon/DaemonMessages.h"
#include "daemon/ReadQueue.h"
#include "daemon/RequestMessage.h"
#include "daemon/CityCode.h"
#include "daemon/ForecastServer.h"
#include "daemon/WLoader.h"
#include "daemon/WeatherSettings.h"

#include "runtime/ApplicationCore.h"
#include "runtime/Log.h"

#include "platform/MessageQueue.h"
#include "platform/NamedMutex.h"
#include "platform/TextEncoding.h"

#include <cstdio>

namespace ombrelo {

using runtime::get_log;

int Ombrelo::run(std::u16string_view command_line)
{
    get_log() << runtime::log_ticks() << u"WinMain start\n";
    {
        runtime::ApplicationCore core(nullptr, u"Weather");
        if (command_line == u"top")
            run_top_mode();
        else
            run_queue_mode();
    }
    return 0;
}

void Ombrelo::run_top_mode()
{
    get_log() << u"WinMain 1.0\n";
    std::u16string top = read_top_city();
    if (top.empty())
        return;
    if (read_update_time() == 0)
        return;
    if (!is_valid_city_code(top)) {
        get_log() << u"WinMain Top is not a valid city code\n";
        return;
    }
    {
        WLoader loader;
        loader.get_weather(top);
        platform::MessageQueue& queue = platform::MessageQueue::current();
        platform::Message message;
        while (queue.get(message)) {
            queue.dispatch(message);
            if (message.number == message_done)
                break;
        }
        // Whoever started the daemon by hand learns of the failure; the exit code stays 0.
        if (loader.failed_count() != 0)
            std::fprintf(stderr, "Ombrelo: the forecast of %s could not be downloaded from %s\n",
                platform::to_utf8(top).c_str(), platform::to_utf8(forecast_url(top)).c_str());
    }
    get_log() << u"WinMain 2\n";
}

void Ombrelo::run_queue_mode()
{
    get_log() << u"WinMain 3\n";
    platform::NamedMutex mutex;
    if (!mutex.create(u"Weather")) {
        get_log() << u"Application::show_running_instance_open_bracket mutex==0\n";
        return;
    }
    // Another daemon serves the queue; the requests stay there for it.
    if (!mutex.wait(100))
        return;
    while (serve_queue(mutex)) {
    }
}

bool Ombrelo::serve_queue(platform::NamedMutex& mutex)
{
    ReadQueue queue(request_queue_name);
    {
        WLoader loader;
        if (!queue.create())
            return false;
        platform::MessageQueue& messages = platform::MessageQueue::current();
        auto idle_since = std::chrono::steady_clock::now();
        for (;;) {
            platform::Message message;
            if (messages.peek(message, true)) {
                messages.dispatch(message);
                // Requests read after the notice was posted may be pending again; and
                // the queue is read once more, so none that reached it is left unserved.
                if (message.number == message_done && loader.pending_count() == 0) {
                    std::u16string code = queue.read_message();
                    if (code.empty())
                        break;
                    get_log() << u"before get_weather for " << code << u"\n";
                    loader.get_weather(code);
                    idle_since = std::chrono::steady_clock::now();
                    continue;
                }
            }
            std::u16string code = queue.read_message();
            if (!code.empty()) {
                get_log() << u"before get_weather for " << code << u"\n";
                loader.get_weather(code);
            }
            auto now = std::chrono::steady_clock::now();
            if (!code.empty() || loader.pending_count() != 0)
                idle_since = now;
            else if (now - idle_since >= idle_limit)
                break;
        }
    }
    // A request written after the last read, while a new daemon found the mutex taken,
    // would wait for the next start: take the mutex again and serve it.
    mutex.release();
    return queue.waiting() != 0 && mutex.wait(0);
}

} // namespace ombrelo
