// The shell's test program as a child process: started with arguments and extra
// environment, waited for with a time limit, its notices read from its events file.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace shell_test {

class DemoProcess {
public:
    // The environment entries ("NAME=value") come on top of the test's own; the process
    // runs headless unless NALO_HEADLESS is given.
    DemoProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
        const std::string& events_file);
    ~DemoProcess();

    pid_t pid() const { return m_pid; }
    bool running();
    // The exit code, or -1 when it did not end in time (or ended by a signal).
    int wait(std::chrono::milliseconds limit);
    void signal(int number);
    std::string standard_error() const;

private:
    pid_t m_pid { -1 };
    int m_status { -1 };
    bool m_ended { false };
    std::string m_stderr_file;
};

// The lines of an events file.
std::vector<std::string> event_lines(const std::string& file);
// Waits until the file has a line equal to the text; false after the limit.
bool wait_for_event(const std::string& file, const std::string& line, std::chrono::milliseconds limit);

std::string demo_program();

} // namespace shell_test
