// The daemon's entry: with the command line "top" it brings the `Top` city's forecast
// up to date; with any other it serves the request queue "NALO/Weather" until no
// request is pending any more. Only one queue-serving daemon runs at a time.
#pragma once

#include <chrono>
#include <string_view>

namespace platform {
class NamedMutex;
}

namespace ombrelo {

class Ombrelo {
public:
    // A queue-mode daemon that has read nothing and has nothing pending for this long ends.
    static constexpr std::chrono::seconds idle_limit { 30 };

    // Returns 0 on every path.
    int run(std::u16string_view command_line);

private:
    void run_top_mode();
    void run_queue_mode();
    // Serves the queue while holding the mutex; true when requests were left in the
    // queue after the mutex was given up and this daemon took it again.
    bool serve_queue(platform::NamedMutex& mutex);
};

} // namespace ombrelo
