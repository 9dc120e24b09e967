#include "platform/Process.h"
#include "platform/CaseFolding.h"
#include "platform/HostPath.h"
#include "platform/TextEncoding.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform {

std::string host_program(std::u16string_view native_path)
{
    std::string path = host_path(native_path);
    struct stat st {};
    if (path.size() > 4 && to_lower(from_utf8(path.substr(path.size() - 4))) == u".exe"
        && stat(path.c_str(), &st) != 0)
        path.resize(path.size() - 4);
    return path;
}

std::vector<std::string> split_command_line(std::u16string_view parameters)
{
    std::vector<std::string> args;
    std::u16string current;
    bool quoted = false, any = false;
    for (char16_t c : parameters) {
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == u' ' || c == u'\t')) {
            if (any)
                args.push_back(to_utf8(current));
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        args.push_back(to_utf8(current));
    return args;
}

int spawn_program(const std::string& program, const std::vector<std::string>& arguments, bool quiet, bool search)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    pid_t pid = 0;
    int rc = search ? posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ)
                    : posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? int(pid) : -1;
}

bool start_detached(const std::string& program, const std::vector<std::string>& arguments)
{
    int pid = spawn_program(program, arguments, false, false);
    if (pid < 0)
        return false;
    // A reaper collects the child's exit status so that it never lingers as a zombie.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool process_exists(int pid)
{
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

} // namespace platform
