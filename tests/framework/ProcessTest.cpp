// The shell as a program (shell_demo): one copy per user with the command line handed
// to the running copy, a stale socket that does not block a start, two copies started
// together, signals that end the loop as a quit does, and scripted runs that fail with
// their line number.
#include "DemoProcess.h"

#include "framework/InstanceChannel.h"

#include "platform/NamedMutex.h"
#include "support/TestSupport.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace shell_test;
using namespace std::chrono_literals;

namespace {

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = test_support::scratch_folder("program");
        events = folder + "/events.txt";
    }
    std::string script(const std::string& text)
    {
        std::string path = folder + "/script" + std::to_string(++scripts) + ".txt";
        test_support::write_bytes(path, text);
        return "NALO_SCRIPT=" + path;
    }
    size_t count(const std::string& line) const
    {
        auto lines = event_lines(events);
        return size_t(std::count(lines.begin(), lines.end(), line));
    }
    std::string folder;
    std::string events;
    int scripts = 0;
};

} // namespace

TEST_F(Program, ASecondCopyHandsOverItsCommandLineAndEnds)
{
    DemoProcess first({}, {}, events);
    ASSERT_TRUE(wait_for_event(events, "started", 20s));

    auto started = std::chrono::steady_clock::now();
    DemoProcess second({ "--city", "Köln" }, {}, folder + "/second.txt");
    EXPECT_EQ(second.wait(3s), 0) << second.standard_error();
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    RecordProperty("second_copy_ms", int(took.count()));
    std::printf("a second copy ended after %d ms\n", int(took.count()));
    EXPECT_TRUE(wait_for_event(events, "command_line [--city Köln]", 5s));

    DemoProcess third({}, {}, folder + "/third.txt");
    EXPECT_EQ(third.wait(3s), 0);
    EXPECT_TRUE(wait_for_event(events, "command_line []", 5s)) << "%CommandLineEmpty% arrives empty";
    EXPECT_TRUE(event_lines(folder + "/second.txt").empty()) << "the second copy built no window";

    EXPECT_TRUE(first.running()) << "the first copy keeps running";
    first.signal(SIGTERM);
    EXPECT_EQ(first.wait(10s), 0);
    EXPECT_EQ(count("ended 0"), 1u) << "the program's normal end ran";
}

TEST_F(Program, AnArgumentThatIsNotUtf8IsRefused)
{
    DemoProcess bad({ "ok", "\xC3\x28" }, {}, events);
    EXPECT_EQ(bad.wait(10s), 2);
    EXPECT_NE(bad.standard_error().find("argument 2 is not valid UTF-8"), std::string::npos) << bad.standard_error();
}

TEST_F(Program, AStaleSocketWithoutALockDoesNotBlockAStart)
{
    std::string path = framework::instance_socket_path(u"VevivozClass_ShellDemo");
    platform::NamedMutex folder_maker;
    ASSERT_TRUE(folder_maker.create(u"VevivozClass_ShellDemo"));
    int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ::unlink(path.c_str());
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(stale); // as a copy that crashed leaves it
    DemoProcess demo({ "hello" }, { script("wait 0.1\nquit\n") }, events);
    EXPECT_EQ(demo.wait(20s), 0) << demo.standard_error();
    EXPECT_EQ(count("started"), 1u);
    EXPECT_EQ(count("ended 0"), 1u);
}

TEST_F(Program, OfTwoCopiesStartedTogetherOneRunsAndTheOtherHandsOver)
{
    DemoProcess a({ "from-a" }, {}, events);
    DemoProcess b({ "from-b" }, {}, events);
    ASSERT_TRUE(wait_for_event(events, "started", 20s));
    // The one that did not get the window hands its command line to the one that did.
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (count("command_line [from-a]") + count("command_line [from-b]") == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    bool a_runs = count("command_line [from-b]") == 1;
    DemoProcess& running = a_runs ? a : b;
    DemoProcess& other = a_runs ? b : a;
    EXPECT_EQ(other.wait(5s), 0);
    EXPECT_EQ(count("started"), 1u);
    EXPECT_EQ(count("command_line [from-a]") + count("command_line [from-b]"), 1u);
    EXPECT_TRUE(running.running());
    running.signal(SIGINT);
    EXPECT_EQ(running.wait(10s), 0);
    EXPECT_EQ(count("ended 0"), 1u);
}

TEST_F(Program, HangupEndsTheLoopLikeAQuit)
{
    DemoProcess demo({}, {}, events);
    ASSERT_TRUE(wait_for_event(events, "started", 20s));
    demo.signal(SIGHUP);
    EXPECT_EQ(demo.wait(10s), 0);
    EXPECT_EQ(count("ended 0"), 1u);
}

TEST_F(Program, ScriptErrorsNameTheirLineAndEndTheProgramWithAFailure)
{
    DemoProcess unknown({}, { script("wait 0\n# fine\nkey Down\nfly away\n") }, events);
    EXPECT_EQ(unknown.wait(20s), 2);
    EXPECT_NE(unknown.standard_error().find(": line 4: unknown command \"fly\""), std::string::npos) << unknown.standard_error();
    EXPECT_EQ(count("key Down"), 0u) << "a bad script runs nothing";

    DemoProcess overlong({}, { script("text " + std::string(10000, 'x') + "\n") }, folder + "/2.txt");
    EXPECT_EQ(overlong.wait(20s), 2);
    EXPECT_NE(overlong.standard_error().find("line 1: the line is longer than 4096 bytes"), std::string::npos);

    DemoProcess binary({}, { script("key Up\ntext \xFF\xFE\n") }, folder + "/3.txt");
    EXPECT_EQ(binary.wait(20s), 2);
    EXPECT_NE(binary.standard_error().find("line 2: the line is not valid UTF-8"), std::string::npos);

    DemoProcess missing({}, { "NALO_SCRIPT=" + folder + "/none.txt" }, folder + "/4.txt");
    EXPECT_EQ(missing.wait(20s), 2);
    EXPECT_NE(missing.standard_error().find("cannot read the script"), std::string::npos);
}

TEST_F(Program, AKeypadUserTypesIntoTheFocusedFieldAndStillReachesTheForm)
{
    std::string shot = folder + "/typed.png";
    DemoProcess demo({}, { "NALO_DEMO_FOCUS=1", script("text Berlin\nkey Backspace\nkey Down\nkey Esc\nkey Enter\n"
                                                     "key SOFT_RIGHT\nwait 0.4\nshot " + shot + "\nkey Enter\nwait 0.4\nkey SOFT_LEFT\nwait 1\n") },
        events);
    EXPECT_EQ(demo.wait(20s), 0) << demo.standard_error();
    std::vector<std::string> lines = event_lines(events);
    std::vector<std::string> expected { "started", "text Berlin", "text Berli", "key Down", "key Backspace", "key Enter",
        "key SOFT_RIGHT", "clicked btnPopup", "key SOFT_LEFT", "clicked btnExit", "ended 0" };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(test_support::file_exists(shot));
}
