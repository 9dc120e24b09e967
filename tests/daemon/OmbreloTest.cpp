// The daemon program end to end: a copy of Ombrelo in a scratch program folder, the
// request queue, the registry and a real forecast server on loopback.
#include "daemon/RequestMessage.h"
#include "daemon/WeatherSettings.h"
#include "daemon/WriteQueue.h"

#include "runtime/Registry.h"
#include "runtime/Version.h"

#include "platform/Clock.h"
#include "platform/RequestQueue.h"
#include "platform/TextEncoding.h"

#include "TestFeedServer.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace ombrelo;
using test_support::Reply;
using test_support::TestFeedServer;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const char16_t* const nalo_key = u"HKEY_CURRENT_USER\\Software\\NALO";

std::u16string wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

// A running copy of the daemon; the destructor makes sure none is left behind.
class DaemonProcess {
public:
    DaemonProcess(const std::string& program, const std::vector<std::string>& args,
        const std::map<std::string, std::string>& env = {})
    {
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e) {
            std::string entry = *e;
            if (!env.count(entry.substr(0, entry.find('='))))
                environment.push_back(entry);
        }
        for (const auto& [name, value] : env)
            environment.push_back(name + "=" + value);
        std::vector<char*> envp, argv;
        for (auto& e : environment)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::vector<std::string> all = args;
        all.insert(all.begin(), program);
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
    }
    ~DaemonProcess()
    {
        if (m_pid > 0 && !m_exited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    // The exit code, or -1 when it has not ended within the time (or did not exit).
    int wait(std::chrono::milliseconds limit)
    {
        auto end = std::chrono::steady_clock::now() + limit;
        while (m_pid > 0 && !m_exited) {
            int status = 0;
            pid_t r = waitpid(m_pid, &status, WNOHANG);
            if (r == m_pid) {
                m_exited = true;
                m_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                break;
            }
            if (std::chrono::steady_clock::now() >= end)
                return -1;
            std::this_thread::sleep_for(5ms);
        }
        return m_code;
    }
    bool running() { return wait(0ms) == -1 && !m_exited; }

private:
    pid_t m_pid { -1 };
    bool m_exited { false };
    int m_code { -1 };
};

class Daemon : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = test_support::scratch_folder("ombrelo-" + name);
        fs::create_directories(folder + "/downloads");
        fs::copy_file(std::string(NALO_PROGRAM_DIR) + "/Ombrelo", folder + "/Ombrelo");
        suffix = "ombrelo-test-" + std::to_string(getpid()) + "-" + name;
        setenv("NALO_QUEUE_SUFFIX", suffix.c_str(), 1);
        platform::RequestQueue::remove(request_queue_name);
        runtime::delete_key(weather_key);
        runtime::write_string(weather_key, u"Server", wide(server.address()));
        runtime::write_number(nalo_key, u"Log", 1);
        log_file = std::string(std::getenv("NALO_TEMP")) + "/Ombrelo.txt";
        fs::remove(log_file);
    }
    void TearDown() override
    {
        platform::RequestQueue::remove(request_queue_name);
        runtime::write_number(nalo_key, u"Log", 0);
        unsetenv("NALO_QUEUE_SUFFIX");
    }

    std::string program() const { return folder + "/Ombrelo"; }
    std::string cache(const std::string& code) const
    {
        auto bytes = test_support::read_bytes(folder + "/downloads/_" + code + ".xml");
        return std::string(bytes.begin(), bytes.end());
    }
    std::string log() const { return test_support::read_utf16_file(log_file); }
    // Polls until the condition holds; false after the time.
    template<typename Condition>
    static bool eventually(Condition condition, std::chrono::milliseconds limit)
    {
        auto end = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }
    static size_t count(const std::string& text, const std::string& part)
    {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    }
    void request(std::initializer_list<std::u16string_view> codes)
    {
        WriteQueue writer(request_queue_name);
        ASSERT_TRUE(writer.create());
        for (auto code : codes)
            ASSERT_TRUE(writer.write_message(code));
    }

    TestFeedServer server;
    std::string folder;
    std::string suffix;
    std::string log_file;
};

std::u16string read_text(std::u16string_view name)
{
    std::u16string text;
    runtime::read_string(weather_key, name, text);
    return text;
}

} // namespace

TEST_F(Daemon, TopModeWritesTheCacheAndPublishesTheTopCity)
{
    Reply feed;
    feed.body = TestFeedServer::yahoo_feed(-3, 26, "Tue, 10 Mar 2009 2:00 pm CET",
        { { "10 Mar 2009", -5, 1, 26 }, { "11 Mar 2009", -4, 2, 28 } });
    server.set_reply("ABCD0001", feed);
    runtime::write_string(weather_key, u"Top", u"ABCD0001");
    runtime::write_number(weather_key, u"Degree", 0);
    DaemonProcess daemon(program(), { "top" });
    EXPECT_EQ(daemon.wait(10s), 0);

    std::string file = cache("ABCD0001");
    const std::string head = "<Main><Create date=\"";
    ASSERT_EQ(file.substr(0, head.size()), head) << file;
    std::string after_date = file.substr(file.find("\" rdate="));
    EXPECT_EQ(after_date,
        "\" rdate=\"Tue, 10 Mar 2009 2:00 pm CET\"/>"
        "<Current city=\"\" city_code=\"ABCD0001\" temp=\"-3\" code=\"26\"><Weathers>"
        "<Weather date=\"2009 03 10 00 00 00.000000\" code=\"26\" high=\"1\" low=\"-5\"/>"
        "<Weather date=\"2009 03 11 00 00 00.000000\" code=\"28\" high=\"2\" low=\"-4\"/>"
        "</Weathers></Current></Main>");
    EXPECT_EQ(read_text(u"TopTemp"), u"+26\u00B0");
    uint32_t code = 0;
    EXPECT_TRUE(runtime::read_number(weather_key, u"TopCode", code));
    EXPECT_EQ(code, 26u);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "GET /forecastrss?p=ABCD0001&u=c HTTP/1.1");
    std::string trace = log();
    EXPECT_NE(trace.find("WinMain 2\n"), std::string::npos);
    // The first line: the tick count, then the text.
    size_t digits = trace.find_first_not_of("-0123456789");
    EXPECT_GT(digits, 0u);
    EXPECT_EQ(trace.substr(digits, 14), "WinMain start\n");
}

TEST_F(Daemon, TopModeWithNothingToDoEndsAtOnce)
{
    struct Case {
        const char* name;
        const char16_t* top;
        int update_time;
    } cases[] = {
        { "no Top", nullptr, 360 },
        { "never update", u"ABCD0001", 0 },
        { "no city code", u"../../x1", 360 },
    };
    for (const Case& c : cases) {
        runtime::delete_key(weather_key);
        runtime::write_string(weather_key, u"Server", wide(server.address()));
        if (c.top)
            runtime::write_string(weather_key, u"Top", c.top);
        runtime::write_number(weather_key, u"UpdateTime", uint32_t(c.update_time));
        DaemonProcess daemon(program(), { "top" });
        EXPECT_EQ(daemon.wait(5s), 0) << c.name;
    }
    EXPECT_EQ(server.request_count(), 0u);
    EXPECT_TRUE(fs::is_empty(folder + "/downloads"));
}

TEST_F(Daemon, TopModeEndsAfterAFailedDownloadLeavingTheOldFile)
{
    Reply missing;
    missing.status = 404;
    server.set_reply("ABCD0001", missing);
    test_support::write_bytes(folder + "/downloads/_ABCD0001.xml", "<Main/>");
    runtime::write_string(weather_key, u"Top", u"ABCD0001");
    DaemonProcess daemon(program(), { "top" });
    EXPECT_EQ(daemon.wait(10s), 0);
    EXPECT_EQ(cache("ABCD0001"), "<Main/>");
    EXPECT_EQ(read_text(u"TopTemp"), u"");
    EXPECT_NE(log().find("on http failed\n"), std::string::npos);
}

TEST_F(Daemon, QueueModeServesEveryCodeConcurrentlyAndEndsAfterTheLast)
{
    // Every answer waits for the test: the three downloads are pending at once.
    Reply held;
    held.held = true;
    held.body = TestFeedServer::yahoo_feed(20, 30, "now", {});
    server.set_default(held);
    request({ u"AAAA0001", u"BBBB0002", u"CCCC0003" });
    DaemonProcess daemon(program(), {});
    ASSERT_TRUE(server.wait_for_requests(3, 5000));
    EXPECT_EQ(server.most_at_once(), 3);
    server.release("AAAA0001");
    server.release("BBBB0002");
    EXPECT_TRUE(eventually([&] { return !cache("AAAA0001").empty() && !cache("BBBB0002").empty(); }, 10s));
    EXPECT_TRUE(daemon.running()); // the last download is still pending
    EXPECT_TRUE(cache("CCCC0003").empty());
    server.release("CCCC0003");
    EXPECT_EQ(daemon.wait(10s), 0);
    EXPECT_NE(cache("CCCC0003").find("city_code=\"CCCC0003\" temp=\"20\""), std::string::npos);
    EXPECT_EQ(server.request_count(), 3u);
}

TEST_F(Daemon, DoubledRequestIsDownloadedOnce)
{
    // The answer waits until the daemon has read the second request.
    Reply held;
    held.held = true;
    held.body = TestFeedServer::yahoo_feed(20, 30, "now", {});
    server.set_default(held);
    request({ u"AAAA0001", u"AAAA0001" });
    DaemonProcess daemon(program(), {});
    EXPECT_TRUE(eventually([&] { return log().find("Attention! Doubled request for AAAA0001\n") != std::string::npos; }, 10s));
    server.release("");
    EXPECT_EQ(daemon.wait(10s), 0);
    EXPECT_EQ(server.request_count(), 1u);
    EXPECT_EQ(count(log(), "Attention! Doubled request for AAAA0001\n"), 1u);
    EXPECT_FALSE(cache("AAAA0001").empty());
}

TEST_F(Daemon, SecondDaemonEndsWithoutReading)
{
    // The first daemon's download waits for the test, so it runs while the second starts.
    Reply held;
    held.held = true;
    held.body = TestFeedServer::yahoo_feed(20, 30, "now", {});
    server.set_default(held);
    request({ u"AAAA0001" });
    std::string first_temp = test_support::scratch_folder("first-temp");
    std::string second_temp = test_support::scratch_folder("second-temp");
    DaemonProcess first(program(), {}, { { "NALO_TEMP", first_temp } });
    ASSERT_TRUE(server.wait_for_requests(1, 5000)); // it holds the daemon mutex by now
    DaemonProcess second(program(), {}, { { "NALO_TEMP", second_temp } });
    EXPECT_EQ(second.wait(3s), 0);
    EXPECT_TRUE(first.running());
    request({ u"BBBB0002" }); // the first daemon still reads the queue
    EXPECT_TRUE(server.wait_for_requests(2, 5000));
    server.release("");
    EXPECT_EQ(first.wait(10s), 0);

    std::string second_log = test_support::read_utf16_file(second_temp + "/Ombrelo.txt");
    EXPECT_NE(second_log.find("WinMain 3\n"), std::string::npos);
    EXPECT_EQ(second_log.find("create read_queue"), std::string::npos);
    EXPECT_EQ(server.request_count(), 2u);
    EXPECT_FALSE(cache("AAAA0001").empty());
    EXPECT_FALSE(cache("BBBB0002").empty());
}

TEST_F(Daemon, QueueModeDropsForeignRequestsAndServesTheRest)
{
    platform::RequestQueue raw;
    ASSERT_TRUE(raw.open(request_queue_name, { 10, 274, false }));
    const char foreign[9] = { '.', '.', '/', '.', '.', '/', 'x', 'y', 0 };
    ASSERT_TRUE(raw.write(foreign, sizeof foreign, 100));
    request({ u"GOOD0001" });
    DaemonProcess daemon(program(), {});
    EXPECT_EQ(daemon.wait(10s), 0);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_NE(server.requests()[0].find("p=GOOD0001"), std::string::npos);
    EXPECT_NE(log().find("dropped a request without a valid city code"), std::string::npos);
}

TEST_F(Daemon, FreshForeignCacheEndsTheDaemonWithoutADownload)
{
    // A document whose top level is Create, one minute old: fresh for 360 minutes.
    platform::SystemTime now = platform::local_system_time();
    char date[64];
    std::snprintf(date, sizeof date, "%d %02d %02d %02d %02d 00.000000", now.year, now.month, now.day, now.hour, now.minute);
    test_support::write_bytes(folder + "/downloads/_FRSH0001.xml", std::string("<Create date=\"") + date + "\"/>");
    request({ u"FRSH0001" });
    DaemonProcess daemon(program(), {});
    EXPECT_EQ(daemon.wait(5s), 0);
    EXPECT_EQ(server.request_count(), 0u);
    EXPECT_NE(log().find("WLoader::get_weather_local city_code = FRSH0001 return true\n"), std::string::npos);
}

TEST_F(Daemon, CommandLineOtherThanTopServesTheQueue)
{
    runtime::write_string(weather_key, u"Top", u"ABCD0001");
    // Only "--help" and "--version" as the whole command line answer instead.
    const std::vector<std::string> lines[] = { { "Top" }, { "--bogus" }, { "-h" }, { "--help", "x" }, { "--Version" } };
    int served = 0;
    for (const auto& args : lines) {
        request({ u"QUEU0001" });
        DaemonProcess daemon(program(), args);
        EXPECT_EQ(daemon.wait(10s), 0) << args[0];
        EXPECT_EQ(server.request_count(), size_t(++served)) << args[0];
        fs::remove(folder + "/downloads/_QUEU0001.xml");
    }
    for (const auto& request : server.requests())
        EXPECT_NE(request.find("p=QUEU0001"), std::string::npos);
    EXPECT_TRUE(cache("ABCD0001").empty());
}

TEST_F(Daemon, HelpAndVersionAnswerWithoutServing)
{
    request({ u"QUEU0001" });
    auto help = test_support::run_command(program() + " --help 2>/dev/null");
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_EQ(help.output.rfind("usage:\n", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("Ombrelo top"), std::string::npos) << help.output;
    auto version = test_support::run_command(program() + " --version 2>/dev/null");
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.output, "Ombrelo " + std::string(runtime::project_version()) + "\n");
    EXPECT_FALSE(fs::exists(log_file)) << log();
    EXPECT_EQ(server.request_count(), 0u);
    // The request is still there for the next daemon.
    DaemonProcess daemon(program(), {});
    EXPECT_EQ(daemon.wait(10s), 0);
    EXPECT_EQ(server.request_count(), 1u);
}

TEST_F(Daemon, TopModeReportsAFailedDownloadOnStandardError)
{
    Reply missing;
    missing.status = 404;
    server.set_reply("ABCD0001", missing);
    Reply feed;
    feed.body = TestFeedServer::yahoo_feed(5, 30, "now", {});
    server.set_reply("GOOD0001", feed);
    struct Case {
        const char* name;
        std::u16string top;
        std::u16string server_value;
        bool fails;
    } cases[] = {
        { "refused by the server", u"ABCD0001", wide(server.address()), true },
        { "no server listening", u"ABCD0001", u"127.0.0.1:1", true },
        { "downloaded", u"GOOD0001", wide(server.address()), false },
    };
    for (const Case& c : cases) {
        runtime::write_string(weather_key, u"Top", c.top);
        runtime::write_string(weather_key, u"Server", c.server_value);
        // Standard error only; the exit code stays 0 either way.
        auto said = test_support::run_command("timeout 20 " + program() + " top 2>&1 >/dev/null");
        EXPECT_EQ(said.exit_code, 0) << c.name;
        if (!c.fails) {
            EXPECT_EQ(said.output, "") << c.name;
            continue;
        }
        EXPECT_EQ(std::count(said.output.begin(), said.output.end(), '\n'), 1) << c.name << ": " << said.output;
        EXPECT_EQ(said.output, "Ombrelo: the forecast of ABCD0001 could not be downloaded from http://"
                + platform::to_utf8(c.server_value) + "/forecastrss?p=ABCD0001&u=c\n")
            << c.name;
    }
}

TEST_F(Daemon, AnAnswerThatIsNoForecastKeepsTheOldCacheFileByteForByte)
{
    const std::string old_file = "<Main><Create date=\"2026 01 02 03 04 05.000000\" rdate=\"x\"/><Current city=\"\" "
                                 "city_code=\"ABCD0001\" temp=\"7\" code=\"30\"><Weathers/></Current></Main>";
    auto body = [](std::string text) {
        Reply reply;
        reply.body = std::move(text);
        return reply;
    };
    // A byte every 2 seconds: the inactivity timer never fires, the overall deadline does.
    Reply drip = body(TestFeedServer::yahoo_feed(20, 30, "now", { { "10 Mar 2009", 1, 7, 28 } }));
    drip.mode = Reply::Mode::chunked_drip;
    drip.drip_size = 1;
    drip.drip_interval_ms = 2000;
    struct Case {
        const char* name;
        Reply reply;
        const char* status;
    } cases[] = {
        { "html", body("<!DOCTYPE html><html><body><h1>502 Bad Gateway</h1></body></html>"), "bad-feed\n" },
        { "garbage", body(std::string("\x01\x02 not a feed \x7F at all")), "bad-feed\n" },
        { "empty", body(""), "bad-feed\n" },
        { "invalid UTF-8", body("\xC3\x28<rss><channel><item><yweather:condition temp=\"5\"/></item></channel></rss>"), "bad-feed\n" },
        { "rss without condition or days", body("<rss><channel><title>Berlin</title><item/></channel></rss>"), "bad-feed\n" },
        { "slow drip", drip, "unreachable\n" },
    };
    const auto deadline = 3s;
    runtime::write_string(weather_key, u"Top", u"ABCD0001");
    for (const Case& c : cases) {
        test_support::write_bytes(folder + "/downloads/_ABCD0001.xml", old_file);
        server.set_reply("ABCD0001", c.reply);
        auto start = std::chrono::steady_clock::now();
        DaemonProcess daemon(program(), { "top" }, { { "NALO_DOWNLOAD_DEADLINE", "3" } });
        EXPECT_EQ(daemon.wait(deadline + 5s), 0) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, deadline + 2s) << c.name;
        EXPECT_EQ(cache("ABCD0001"), old_file) << c.name;
        auto status = test_support::read_bytes(folder + "/downloads/_ABCD0001.status");
        EXPECT_EQ(std::string(status.begin(), status.end()), c.status) << c.name;
        EXPECT_EQ(read_text(u"TopTemp"), u"") << c.name;
    }
}

TEST_F(Daemon, EveryDownloadLeavesItsOutcomeForThePage)
{
    Reply sample;
    sample.body = TestFeedServer::yahoo_feed(5, 30, "now", {});
    sample.body.insert(sample.body.find("<channel>") + 9, "<nalo:sample xmlns:nalo=\"urn:nalo:forecastd\"/>");
    Reply failing;
    failing.status = 500;
    Reply missing;
    missing.status = 404;
    struct Case {
        const char* name;
        std::optional<Reply> reply; // none: nothing listens
        const char* status;
        bool sample;
    } cases[] = {
        { "sample data", sample, "ok\n", true },
        { "real forecast", [] { Reply r; r.body = TestFeedServer::yahoo_feed(5, 30, "now", {}); return r; }(), "ok\n", false },
        { "server error", failing, "http 500\n", false },
        { "unknown city", missing, "unknown-city\n", false },
        { "nothing listens", std::nullopt, "unreachable\n", false },
    };
    runtime::write_string(weather_key, u"Top", u"ABCD0001");
    for (const Case& c : cases) {
        fs::remove(folder + "/downloads/_ABCD0001.xml");
        runtime::write_string(weather_key, u"Server", c.reply ? wide(server.address()) : u"127.0.0.1:1");
        if (c.reply)
            server.set_reply("ABCD0001", *c.reply);
        DaemonProcess daemon(program(), { "top" });
        EXPECT_EQ(daemon.wait(10s), 0) << c.name;
        auto status = test_support::read_bytes(folder + "/downloads/_ABCD0001.status");
        EXPECT_EQ(std::string(status.begin(), status.end()), c.status) << c.name;
        EXPECT_EQ(cache("ABCD0001").find("\" sample=\"1\"/>") != std::string::npos, c.sample) << c.name;
    }
    // The last attempt wrote no cache file, and no temporary is left behind.
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder + "/downloads"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string> { "_ABCD0001.status" });
}

TEST_F(Daemon, QueueModeWithoutAReaderQueueEnds)
{
    // A name the system refuses: the reader queue cannot be made.
    DaemonProcess daemon(program(), {}, { { "NALO_QUEUE_SUFFIX", "no/such/queue" } });
    EXPECT_EQ(daemon.wait(3s), 0);
    EXPECT_NE(log().find("create read_queue end false CreateMsgQueue\n"), std::string::npos);
}
