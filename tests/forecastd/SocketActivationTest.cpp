// forecastd started the way systemd's forecastd.socket starts it: the listening socket as
// descriptor 3, LISTEN_PID and LISTEN_FDS naming it.
#include "forecastd/SocketActivation.h"
#include "support/TestSupport.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using forecastd::take_listen_sockets;

namespace {

struct ActivationCase {
    const char* name;
    const char* pid;   // "self" for this process; nullptr unset
    const char* count; // nullptr unset
    bool ok;
    size_t sockets;
};

class TakeListenSockets : public ::testing::TestWithParam<ActivationCase> {};

TEST_P(TakeListenSockets, FollowsTheVariablesAndRemovesThem)
{
    const ActivationCase& c = GetParam();
    std::string self = std::to_string(getpid());
    if (c.pid)
        setenv("LISTEN_PID", std::string(c.pid) == "self" ? self.c_str() : c.pid, 1);
    if (c.count)
        setenv("LISTEN_FDS", c.count, 1);
    setenv("LISTEN_FDNAMES", "forecastd.socket", 1);
    std::vector<int> sockets;
    std::string error;
    EXPECT_EQ(take_listen_sockets(sockets, error), c.ok) << error;
    EXPECT_EQ(sockets.size(), c.sockets);
    EXPECT_EQ(error.empty(), c.ok) << error;
    for (const char* name : { "LISTEN_PID", "LISTEN_FDS", "LISTEN_FDNAMES" })
        EXPECT_EQ(std::getenv(name), nullptr) << name << " is left for the programs started later";
}

INSTANTIATE_TEST_SUITE_P(Cases, TakeListenSockets,
    ::testing::Values(ActivationCase { "unset", nullptr, nullptr, true, 0 },
        ActivationCase { "another_process", "1", "1", true, 0 },
        ActivationCase { "none_handed", "self", "0", true, 0 },
        ActivationCase { "pid_not_a_number", "12x", "1", false, 0 },
        ActivationCase { "count_not_a_number", "self", "one", false, 0 },
        ActivationCase { "count_negative", "self", "-1", false, 0 },
        ActivationCase { "more_than_are_open", "self", "1000", false, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

// A loopback socket listening on a free port, as systemd would open it.
int listening_socket(int& port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 16) != 0
        || getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    port = ntohs(address.sin_port);
    return fd;
}

TEST(SocketActivatedForecastd, AnswersOnTheHandedSocketAndNotOnItsListenAddress)
{
    int port = 0;
    int listener = listening_socket(port);
    ASSERT_GE(listener, 0);
    std::string program = std::string(NALO_PROGRAM_DIR) + "/forecastd";
    std::string samples = std::string(NALO_PROGRAM_DIR) + "/forecast-samples";
    std::string log = test_support::scratch_folder("socket-activation") + "/forecastd.txt";
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(listener, 3);
        setenv("LISTEN_PID", std::to_string(getpid()).c_str(), 1);
        setenv("LISTEN_FDS", "1", 1);
        if (!freopen(log.c_str(), "w", stdout))
            _exit(126);
        // --listen names a port nothing may bind: the handed socket must be the one used.
        execl(program.c_str(), "forecastd", "--offline", samples.c_str(), "--listen", "127.0.0.1:1", nullptr);
        _exit(127);
    }
    close(listener);
    std::string url = "http://127.0.0.1:" + std::to_string(port) + "/forecastrss?p=02950159&u=c";
    auto answer = test_support::run_command("curl -s --max-time 10 '" + url + "'");
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(answer.exit_code, 0);
    EXPECT_NE(answer.output.find("(sample data)"), std::string::npos) << answer.output;
    EXPECT_NE(answer.output.find("<yweather:condition"), std::string::npos) << answer.output;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::vector<uint8_t> bytes = test_support::read_bytes(log);
    std::string banner(bytes.begin(), bytes.end());
    EXPECT_NE(banner.find("listening on 127.0.0.1:" + std::to_string(port) + ", the socket systemd handed over"),
        std::string::npos) << banner;
}

TEST(SocketActivatedForecastd, RefusesADescriptorThatIsNotAListeningSocket)
{
    std::string program = std::string(NALO_PROGRAM_DIR) + "/forecastd";
    auto refused = test_support::run_command("LISTEN_PID=$$ LISTEN_FDS=1 exec '" + program
        + "' --listen 127.0.0.1:0 3</dev/null 2>&1");
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_EQ(refused.output, "forecastd: systemd must hand over one listening stream socket\n");
}

} // namespace
