// SIGTERM, SIGINT and SIGHUP end the message loop the way a quit does, so that the
// program's normal end runs. The signal handler only writes the signal's number into a
// pipe; a thread of its own reads it and calls the function (which posts the quit).
#pragma once

#include <functional>
#include <thread>

namespace framework {

class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void(int signal)> on_signal);
    // Puts the earlier handlers back.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::function<void(int)> m_on_signal;
    std::thread m_thread;
};

} // namespace framework
