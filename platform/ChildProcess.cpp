#include "platform/ChildProcess.h"
#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

int exit_code_of(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

} // namespace

ChildProcess::~ChildProcess() { stop(); }

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments, bool quiet)
{
    stop();
    int pid = spawn_program(program, arguments, quiet, true);
    if (pid < 0)
        return false;
    m_pid = pid;
    m_status = -1;
    return true;
}

bool ChildProcess::running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    pid_t done = waitpid(m_pid, &status, WNOHANG);
    if (done == 0)
        return true;
    if (done == m_pid)
        m_status = exit_code_of(status);
    m_pid = -1;
    return false;
}

int ChildProcess::wait()
{
    if (m_pid > 0) {
        int status = 0;
        pid_t done;
        while ((done = waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) {
        }
        m_status = done == m_pid ? exit_code_of(status) : -1;
        m_pid = -1;
    }
    return m_status;
}

void ChildProcess::stop()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    wait();
    m_status = -1;
}

std::string ChildProcess::find_program(const std::string& name)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return access(name.c_str(), X_OK) == 0 ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = folders.substr(start, end - start);
        std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

} // namespace platform
