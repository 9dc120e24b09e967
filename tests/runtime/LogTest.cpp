#include "runtime/Log.h"
#include "runtime/Registry.h"

#include "support/TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

using namespace runtime;
using test_support::read_utf16_file;

namespace {

const char16_t* const nalo = u"HKEY_CURRENT_USER\\Software\\NALO";

std::string log_path()
{
    return std::string(std::getenv("NALO_TEMP")) + "/runtime_tests.txt";
}

void set_switch(int value)
{
    write_number(nalo, u"Log", uint32_t(value));
    get_log(); // the switch takes effect at the next log call
}

} // namespace

TEST(Log, SwitchOffWritesNothingAndOnStartsAFreshFile)
{
    platform::registry::delete_value(platform::registry::Root::current_user, u"Software\\NALO", u"Log");
    std::remove(log_path().c_str());
    get_log() << u"invisible\n";
    EXPECT_FALSE(test_support::file_exists(log_path()));

    set_switch(1);
    get_log() << u"Application::ResolutionChanged " << int32_t(2) << u"\n";
    get_log() << "ascii " << int32_t(-5) << u' ' << 0.5 << u"\n";
    auto bytes = test_support::read_bytes(log_path());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(read_utf16_file(log_path()), "Application::ResolutionChanged 2\nascii -5 0.500000\n");

    // Off then on again empties the file.
    set_switch(0);
    get_log() << u"dropped\n";
    set_switch(1);
    get_log() << u"second run\n";
    EXPECT_EQ(read_utf16_file(log_path()), "second run\n");
    set_switch(0);
}

TEST(Log, ThreadsNeverInterleaveOneWrite)
{
    set_switch(1);
    get_log();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            std::u16string line(40, char16_t(u'a' + t));
            line += u'\n';
            for (int i = 0; i < 200; ++i)
                get_log() << line;
        });
    for (auto& t : threads)
        t.join();
    std::string text = read_utf16_file(log_path());
    set_switch(0);
    size_t lines = 0;
    for (size_t start = 0; start < text.size(); ++lines) {
        size_t end = text.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        std::string line = text.substr(start, end - start);
        ASSERT_EQ(line.size(), 40u);
        EXPECT_EQ(line.find_first_not_of(line[0]), std::string::npos) << "a write was interleaved: " << line;
        start = end + 1;
    }
    EXPECT_EQ(lines, 800u);
}

TEST(FatalError, EndsTheProcessWithCodeZeroAndLogsTheLine)
{
    set_switch(0);
    auto quiet = test_support::run_in_child([] {
        fatal_error(u"get_app_path()", u"path is more then MAX_PATH long");
        _exit(3);
    });
    EXPECT_TRUE(quiet.exited);
    EXPECT_EQ(quiet.exit_code, 0);

    set_switch(1);
    auto logged = test_support::run_in_child([] {
        struct Noisy {
            ~Noisy() { get_log() << u"destructor ran\n"; }
        } noisy;
        fatal_error(u"Singleton::Singleton()", u"Singleton is already instantiated");
    });
    set_switch(0);
    EXPECT_EQ(logged.exit_code, 0);
    EXPECT_EQ(read_utf16_file(log_path()), "Gluck: Singleton is already instantiated @ Singleton::Singleton()\n");
}
