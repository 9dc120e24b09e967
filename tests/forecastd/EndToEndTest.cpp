// forecastd as a user runs it: the program with its command line, and Ombrelo fetching
// a city's forecast from it.
#include "daemon/WeatherSettings.h"

#include "runtime/Registry.h"

#include "runtime/Version.h"
#include "support/RunningForecastd.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string program_dir = NALO_PROGRAM_DIR;

size_t count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Days between a cache file's "YYYY MM DD ..." date and the local today.
int days_from_today(const std::string& date)
{
    using namespace std::chrono;
    time_t now = time(nullptr);
    tm local {};
    localtime_r(&now, &local);
    sys_days today = year { local.tm_year + 1900 } / month { unsigned(local.tm_mon + 1) } / day { unsigned(local.tm_mday) };
    sys_days given = year { std::atoi(date.substr(0, 4).c_str()) } / month { unsigned(std::atoi(date.substr(5, 2).c_str())) }
        / day { unsigned(std::atoi(date.substr(8, 2).c_str())) };
    return int((given - today).count());
}

} // namespace

TEST(Forecastd, OmbreloTopWritesFiveDaysFromTheOfflineSamples)
{
    test_support::RunningForecastd service(program_dir + "/forecastd", { "--offline", program_dir + "/forecast-samples" });
    ASSERT_GT(service.port(), 0) << service.banner();
    EXPECT_NE(service.banner().find("(sample data)"), std::string::npos) << service.banner();

    std::string folder = test_support::scratch_folder("ombrelo-forecastd");
    fs::create_directories(folder + "/downloads");
    fs::copy_file(program_dir + "/Ombrelo", folder + "/Ombrelo");
    runtime::delete_key(ombrelo::weather_key);
    runtime::write_string(ombrelo::weather_key, u"Server", u"127.0.0.1:" + [&] {
        std::string port = std::to_string(service.port());
        return std::u16string(port.begin(), port.end());
    }());
    runtime::write_string(ombrelo::weather_key, u"Top", u"02950159");

    auto result = test_support::run_command("'" + folder + "/Ombrelo' top");
    EXPECT_EQ(result.exit_code, 0);
    auto bytes = test_support::read_bytes(folder + "/downloads/_02950159.xml");
    std::string cache(bytes.begin(), bytes.end());
    EXPECT_GE(count(cache, "<Weather "), 5u) << cache;
    EXPECT_NE(cache.find("city_code=\"02950159\""), std::string::npos) << cache;
    EXPECT_EQ(cache.find("temp=\"-1000\""), std::string::npos) << cache;
    EXPECT_EQ(cache.find("code=\"-1\""), std::string::npos) << cache;
    EXPECT_NE(cache.find("\" sample=\"1\"/><Current "), std::string::npos) << cache; // offline: sample data
    // The sample replies' details and hours reach the cache file after the older elements.
    EXPECT_NE(cache.find("</Current><Details feels=\""), std::string::npos) << cache;
    EXPECT_NE(cache.find(" sunrise=\""), std::string::npos) << cache;
    size_t hours = count(cache, "<Hour ");
    EXPECT_GE(hours, 1u) << cache;
    EXPECT_LE(hours, 24u) << cache;
    // The first day is today, wherever the test runs (Berlin's today, a day off at most).
    size_t first_day = cache.find("<Weather date=\"");
    ASSERT_NE(first_day, std::string::npos);
    std::string day = cache.substr(first_day + 15, 10);
    EXPECT_LE(std::abs(days_from_today(day)), 1) << day;
    std::u16string top_temp;
    EXPECT_TRUE(runtime::read_string(ombrelo::weather_key, u"TopTemp", top_temp));
    EXPECT_FALSE(top_temp.empty());
}

TEST(Forecastd, CommandLine)
{
    auto help = test_support::run_command("'" + program_dir + "/forecastd' --help 2>/dev/null");
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.output.find("--listen HOST:PORT"), std::string::npos);
    EXPECT_NE(help.output.find("--offline DIR"), std::string::npos);
    EXPECT_EQ(test_support::run_command("'" + program_dir + "/forecastd' --places x -h 2>/dev/null").output, help.output);
    const std::string version_line = std::string(runtime::project_version()) + "\n";
    auto version = test_support::run_command("'" + program_dir + "/forecastd' --version");
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.output, "forecastd " + version_line);
    for (const char* option : { "--colour", "--colour=red", "-x" }) {
        auto unknown = test_support::run_command("'" + program_dir + "/forecastd' " + option + " 2>&1 >/dev/null");
        EXPECT_EQ(unknown.exit_code, 2);
        EXPECT_NE(unknown.output.find(std::string("unknown option ") + std::string(option).substr(0, 8)), std::string::npos)
            << unknown.output;
    }
    auto stray = test_support::run_command("'" + program_dir + "/forecastd' berlin 2>&1");
    EXPECT_EQ(stray.exit_code, 2);
    EXPECT_NE(stray.output.find("unexpected argument berlin"), std::string::npos) << stray.output;
    auto bad_value = test_support::run_command("'" + program_dir + "/forecastd' --cache-minutes x 2>&1");
    EXPECT_EQ(bad_value.exit_code, 2);
    auto no_places = test_support::run_command("'" + program_dir + "/forecastd' --places /nonexistent 2>&1");
    EXPECT_EQ(no_places.exit_code, 1);
    EXPECT_NE(no_places.output.find("/nonexistent"), std::string::npos) << no_places.output;
    // A folder of replies that is missing or holds none would only ever answer 502.
    std::string empty = test_support::scratch_folder("no-replies");
    test_support::write_bytes(empty + "/readme.json", "{}");
    for (const std::string& folder : { std::string("/nonexistent"), empty }) {
        auto offline = test_support::run_command("timeout 10 '" + program_dir + "/forecastd' --listen 127.0.0.1:0 --offline '"
            + folder + "' 2>&1");
        EXPECT_EQ(offline.exit_code, 1) << folder;
        EXPECT_EQ(offline.output.rfind("forecastd: --offline " + folder + ": ", 0), 0u) << offline.output;
        EXPECT_EQ(std::count(offline.output.begin(), offline.output.end(), '\n'), 1) << offline.output;
    }

    const std::string citydb = std::string(NALO_TOOLS_DIR) + "/make-citydb";
    auto citydb_help = test_support::run_command("'" + citydb + "' --help 2>/dev/null");
    EXPECT_EQ(citydb_help.exit_code, 0);
    EXPECT_EQ(citydb_help.output.rfind("usage: make-citydb", 0), 0u) << citydb_help.output;
    auto citydb_version = test_support::run_command("'" + citydb + "' --version");
    EXPECT_EQ(citydb_version.exit_code, 0);
    EXPECT_EQ(citydb_version.output, "make-citydb " + version_line);
    auto citydb_unknown = test_support::run_command("'" + citydb + "' --fast 2>&1 >/dev/null");
    EXPECT_EQ(citydb_unknown.exit_code, 2);
    EXPECT_NE(citydb_unknown.output.find("unknown option --fast"), std::string::npos);
    EXPECT_EQ(test_support::run_command("'" + citydb + "' 2>/dev/null").exit_code, 2);
    EXPECT_EQ(test_support::run_command("'" + citydb + "' a b 2>/dev/null").exit_code, 2);
}
