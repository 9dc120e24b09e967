#include "DemoProcess.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace shell_test {

std::string demo_program() { return SHELL_DEMO_PROGRAM; }

DemoProcess::DemoProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
    const std::string& events_file)
{
    static int count = 0;
    m_stderr_file = events_file + ".stderr" + std::to_string(++count);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::string name = entry.substr(0, entry.find('='));
        bool replaced = std::any_of(environment.begin(), environment.end(),
            [&](const std::string& mine) { return mine.substr(0, mine.find('=')) == name; });
        if (!replaced && name != "NALO_SCRIPT" && name != "NALO_DEMO_FOCUS")
            env.push_back(entry);
    }
    env.push_back("NALO_DEMO_EVENTS=" + events_file);
    bool headless_given = false;
    for (const std::string& mine : environment) {
        env.push_back(mine);
        headless_given = headless_given || mine.rfind("NALO_HEADLESS=", 0) == 0;
    }
    if (!headless_given)
        env.push_back("NALO_HEADLESS=1");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = demo_program();
    std::vector<std::string> args { program };
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, m_stderr_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
}

DemoProcess::~DemoProcess()
{
    if (m_pid > 0 && !m_ended) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &m_status, 0);
    }
}

bool DemoProcess::running()
{
    if (m_pid <= 0 || m_ended)
        return false;
    if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid)
        m_ended = true;
    return !m_ended;
}

int DemoProcess::wait(std::chrono::milliseconds limit)
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (running()) {
        if (std::chrono::steady_clock::now() >= end)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return m_ended && WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

void DemoProcess::signal(int number)
{
    if (m_pid > 0 && !m_ended)
        ::kill(m_pid, number);
}

std::string DemoProcess::standard_error() const
{
    if (!test_support::file_exists(m_stderr_file))
        return "";
    std::vector<uint8_t> bytes = test_support::read_bytes(m_stderr_file);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> event_lines(const std::string& file)
{
    std::vector<std::string> lines;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

bool wait_for_event(const std::string& file, const std::string& line, std::chrono::milliseconds limit)
{
    auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        std::vector<std::string> lines = event_lines(file);
        if (std::find(lines.begin(), lines.end(), line) != lines.end())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace shell_test
