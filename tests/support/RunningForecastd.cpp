#include "support/RunningForecastd.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace test_support {

RunningForecastd::RunningForecastd(const std::string& program, std::vector<std::string> args)
{
    int out[2];
    if (pipe(out) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), program);
    args.push_back("--listen");
    args.push_back("127.0.0.1:0");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    FILE* stream = fdopen(out[0], "r");
    char line[512] = "";
    if (stream && fgets(line, sizeof line, stream))
        m_banner = line;
    if (stream)
        fclose(stream);
    size_t colon = m_banner.rfind(':');
    if (colon != std::string::npos)
        m_port = std::atoi(m_banner.c_str() + colon + 1);
}

RunningForecastd::~RunningForecastd()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
}

} // namespace test_support
