// A program this process starts and keeps an eye on: whether it still runs, waiting for
// its end, stopping it. Its standard output and error can go to /dev/null. Destroying the
// object stops a child that still runs and collects it, so none is left behind.
#pragma once

#include <string>
#include <vector>

namespace platform {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program (a path, or a name looked up on PATH) with the arguments; false
    // when it could not be started. A child started before is stopped first.
    bool start(const std::string& program, const std::vector<std::string>& arguments, bool quiet = false);
    // True while the child runs (its end is collected here).
    bool running();
    // Waits for the end; the exit code, or -1 when none runs or it ended by a signal.
    int wait();
    // Ends the child (SIGTERM) and collects it.
    void stop();

    // The program's path when it is found on PATH (or is a path to an executable),
    // else empty.
    static std::string find_program(const std::string& name);

private:
    int m_pid { -1 };
    int m_status { -1 };
};

} // namespace platform
