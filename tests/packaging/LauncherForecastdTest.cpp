// The installed launcher where no systemd socket serves forecasts: it starts forecastd
// from the user's folder when nothing answers on a loopback Server address, only then,
// and stops it when Weather (a stand-in here, which asks it for a feed) ends.
#include "InstallTree.h"

#include "support/TestSupport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

using namespace packaging_test;
using test_support::run_command;
using test_support::write_bytes;

namespace {

// Asks the service named by $STANDIN_FETCH for Berlin's feed and logs its title.
const char* const stand_in = R"sh(#!/bin/sh
if [ -n "${STANDIN_FETCH-}" ]; then
  curl -s --max-time 5 "http://$STANDIN_FETCH/forecastrss?p=02950159&u=c" | grep -o '<title>[^<]*' | head -n 1 >>"$STANDIN_LOG"
fi
exit "${STANDIN_EXIT:-0}"
)sh";

// Something answering on a loopback port.
struct Listener {
    explicit Listener(int port)
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(uint16_t(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(fd, 4);
    }
    ~Listener() { close(fd); }
    int fd { socket(AF_INET, SOCK_STREAM, 0) };
};

bool answers(int port)
{
    return run_command("timeout 1 bash -c 'exec 3<>/dev/tcp/127.0.0.1/" + std::to_string(port) + "' 2>/dev/null")
               .exit_code
        == 0;
}

struct ServerCase {
    const char* name;
    const char* server; // "{port}" stands for the port
    bool something_answers;
    bool started;
};

class LauncherForecastd : public ::testing::TestWithParam<ServerCase> {};

TEST_P(LauncherForecastd, StartsItOnlyForASilentLoopbackAddressAndStopsItAfterwards)
{
    const ServerCase& c = GetParam();
    std::string folder = test_support::scratch_folder(std::string("launcher-forecastd-") + c.name);
    std::string error;
    auto tree = InstallTree::install(folder, "/usr", error);
    ASSERT_TRUE(tree) << error;
    write_bytes(tree->program_folder() + "/Weather", stand_in);
    ASSERT_EQ(chmod((tree->program_folder() + "/Weather").c_str(), 0755), 0);

    int port = free_loopback_port();
    std::optional<Listener> listener;
    if (c.something_answers)
        listener.emplace(port);
    std::string server = c.server;
    server.replace(server.find("{port}"), 6, std::to_string(port));
    std::string registry = folder + "/registry.db";
    ASSERT_EQ(run_command("NALO_REGISTRY=" + shell_quoted(registry) + " " + NALO_TOOLS_DIR
                  + "/nalo-reg set 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' Server --string " + shell_quoted(server))
                  .exit_code,
        0);

    std::string log = folder + "/runs.txt";
    std::string address = "127.0.0.1:" + std::to_string(port);
    auto run = run_command("env NALO_REGISTRY=" + shell_quoted(registry) + " XDG_DATA_HOME=" + shell_quoted(folder + "/data")
        + " STANDIN_LOG=" + shell_quoted(log) + " STANDIN_EXIT=5"
        + (c.started ? " STANDIN_FETCH=" + address : "")
        + " NALO_FORECASTD_OPTIONS='--offline " + tree->program_folder() + "/forecast-samples' "
        + shell_quoted(tree->bin("nalo-weather")) + " 2>&1");
    EXPECT_EQ(run.exit_code, 5) << "Weather's exit status passes through: " << run.output;
    bool said = run.output.find("nalo-weather: started forecastd on " + address) != std::string::npos;
    EXPECT_EQ(said, c.started) << run.output;
    if (c.started) {
        EXPECT_NE(read_text(log).find("(sample data)"), std::string::npos) << "Weather got no feed: " << read_text(log);
        EXPECT_FALSE(answers(port)) << "forecastd still runs after Weather ended";
    }
    EXPECT_EQ(answers(port), c.something_answers);
}

INSTANTIATE_TEST_SUITE_P(Servers, LauncherForecastd,
    ::testing::Values(ServerCase { "loopback_silent", "127.0.0.1:{port}", false, true },
        ServerCase { "localhost_url_silent", "http://localhost:{port}/", false, true },
        ServerCase { "loopback_answering", "127.0.0.1:{port}", true, false },
        ServerCase { "elsewhere", "forecasts.invalid:{port}", false, false }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
