// nalo-weather-today as a status bar runs it: the daemon Ombrelo in top mode fills the
// registry and the cache file of the first city from forecastd on loopback (its sample
// replies), then the command prints the line in its three forms, marks old data, says
// when there is none, and brings an old forecast up to date with --refresh.
#include "daemon/WeatherSettings.h"

#include "runtime/Registry.h"

#include "platform/TextEncoding.h"

#include "support/RunningForecastd.h"
#include "support/TestSupport.h"

#include <rapidjson/document.h>

#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace fs = std::filesystem;
using test_support::run_command;

namespace {

const std::string program_dir = NALO_PROGRAM_DIR;
const std::u16string key(ombrelo::weather_key);
constexpr char16_t berlin[] = u"02950159";

// The cache file's date-time text of now minus that many minutes.
std::string date_text_minutes_ago(int minutes)
{
    time_t when = time(nullptr) - minutes * 60;
    tm local {};
    localtime_r(&when, &local);
    char text[64];
    strftime(text, sizeof text, "%Y %m %d %H %M 00.000000", &local);
    return text;
}

std::string read_text(const std::string& path)
{
    auto bytes = test_support::read_bytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class TodayCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() { service = new test_support::RunningForecastd(program_dir + "/forecastd", { "--offline", program_dir + "/forecast-samples" }); }
    static void TearDownTestSuite() { delete service; }

    void SetUp() override
    {
        ASSERT_GT(service->port(), 0) << service->banner();
        // The folder where nalo-weather keeps the user's copy, below a home of the test's.
        home = test_support::scratch_folder("today") + "/home";
        folder = home + "/.local/share/nalo/Weather";
        fs::create_directories(folder + "/downloads");
        fs::copy_file(program_dir + "/Ombrelo", folder + "/Ombrelo");
        for (const char* language : { "english", "german", "russian" })
            fs::copy_file(program_dir + "/" + language + ".lng", folder + "/" + language + ".lng");
        test_support::write_bytes(folder + "/settings.xml",
            "<Locations><Item city=\"Berlin, Berlin, Germany\" city_code=\"02950159\"/></Locations>");
        runtime::delete_key(key);
        runtime::write_string(key, u"Server", platform::from_utf8(service->address()));
        runtime::write_string(key, u"Top", berlin);
        runtime::write_string(key, u"Language", u"english");
        ASSERT_EQ(run_command("'" + folder + "/Ombrelo'" + " top").exit_code, 0);
        ASSERT_TRUE(test_support::file_exists(cache())) << "the daemon wrote no cache file";
        ASSERT_TRUE(runtime::read_string(key, u"TopTemp", published_temp));
        ASSERT_FALSE(published_temp.empty());
    }

    std::string cache() const { return folder + "/downloads/_02950159.xml"; }

    test_support::CommandResult today(const std::string& arguments) const
    {
        return run_command(std::string(NALO_TOOLS_DIR) + "/nalo-weather-today --folder '" + folder + "' "
            + arguments + " 2>/dev/null");
    }

    // The cache file's request date moved that many minutes into the past.
    void age_cache(int minutes)
    {
        test_support::write_bytes(cache(), std::regex_replace(read_text(cache()), std::regex("<Create date=\"[^\"]*\""),
            "<Create date=\"" + date_text_minutes_ago(minutes) + "\""));
    }

    std::string temp() const { return platform::to_utf8(published_temp); }

    static test_support::RunningForecastd* service;
    std::string home;
    std::string folder;
    std::u16string published_temp;
};

test_support::RunningForecastd* TodayCommand::service = nullptr;

rapidjson::Document parse(const std::string& text)
{
    rapidjson::Document json;
    json.Parse(text.c_str());
    return json;
}

std::vector<std::string> classes(const rapidjson::Document& json)
{
    std::vector<std::string> names;
    if (json.IsObject() && json.HasMember("class") && json["class"].IsArray())
        for (const auto& c : json["class"].GetArray())
            names.push_back(c.GetString());
    return names;
}

TEST_F(TodayCommand, TheThreeFormsShowTheDaemonsForecastInTheUsersLanguage)
{
    // A known condition, so that its words can be checked in each language.
    runtime::write_number(key, u"TopCode", 12u);
    struct Case {
        const char16_t* language;
        const char* condition;
        const char* range_word;
        const char* sample;
    };
    const Case cases[] = {
        { u"english", "Heavy showers", "Today ", "Sample data, not a real forecast" },
        { u"GERMAN", "Starke Schauer", "Heute ", "Beispieldaten, keine echte Vorhersage" },
        { u"russian", "Сильные ливни", "Сегодня от ", "Образец данных, а не настоящий прогноз" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::to_utf8(c.language));
        runtime::write_string(key, u"Language", c.language);

        auto plain = today("");
        EXPECT_EQ(plain.exit_code, 0);
        EXPECT_EQ(plain.output, "Berlin: " + temp() + " " + c.condition + "\n");

        auto json_run = today("--json");
        EXPECT_EQ(json_run.exit_code, 0);
        rapidjson::Document json = parse(json_run.output);
        ASSERT_TRUE(json.IsObject()) << json_run.output;
        ASSERT_TRUE(json["text"].IsString() && json["tooltip"].IsString() && json["alt"].IsString()) << json_run.output;
        EXPECT_EQ(std::string(json["text"].GetString()), temp() + " " + c.condition);
        std::string tooltip = json["tooltip"].GetString();
        EXPECT_EQ(tooltip.rfind(std::string("Berlin: ") + c.condition + "\n" + c.range_word, 0), 0u) << tooltip;
        EXPECT_TRUE(std::regex_search(tooltip, std::regex("\n[^\n]*[0-9]{2}:[0-9]{2}\n"))) << "no update time: " << tooltip;
        EXPECT_TRUE(tooltip.ends_with(c.sample)) << "forecastd's sample replies are not called so: " << tooltip;
        EXPECT_EQ(classes(json), std::vector<std::string> { "rain" });
        EXPECT_EQ(std::string(json["alt"].GetString()), "rain");
    }

    auto formatted = today("--format '{{{city}}} {temp}|{condition}|{low}..{high}|{class}|{stale}|{code}'");
    EXPECT_EQ(formatted.exit_code, 0);
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(formatted.output, parts, std::regex("\\{Berlin\\} (.*)\\|(.*)\\|(.*)\\.\\.(.*)\\|rain\\|\\|12\n")))
        << formatted.output;
    EXPECT_EQ(parts[1].str(), temp());
    EXPECT_EQ(parts[2].str(), "Сильные ливни");
    EXPECT_TRUE(std::regex_match(parts[3].str(), std::regex("[+-]?[0-9]+°"))) << "low " << parts[3];
    EXPECT_TRUE(std::regex_match(parts[4].str(), std::regex("[+-]?[0-9]+°"))) << "high " << parts[4];
}

TEST_F(TodayCommand, DataOlderThanTheIntervalIsShownAsOutdated)
{
    struct Case {
        uint32_t interval;
        int minutes_old; // -1: no cache file
        bool stale;
    };
    const Case cases[] = {
        { 60, 0, false },
        { 60, 59, false },
        { 60, 61, true },
        { 360, 300, false },
        { 360, 400, true },
        { 0, 100000, false }, // "Never": never outdated by age
        { 60, -1, true },     // no cache file: its age is unknown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.interval) + " min, " + std::to_string(c.minutes_old) + " min old");
        runtime::write_number(key, u"UpdateTime", c.interval);
        if (c.minutes_old < 0)
            fs::remove(cache());
        else
            age_cache(c.minutes_old);
        auto plain = today("");
        EXPECT_EQ(plain.exit_code, 0);
        EXPECT_EQ(plain.output.ends_with(" (outdated)\n"), c.stale) << plain.output;
        rapidjson::Document json = parse(today("--json").output);
        ASSERT_TRUE(json.IsObject());
        auto names = classes(json);
        EXPECT_EQ(std::find(names.begin(), names.end(), "stale") != names.end(), c.stale);
        EXPECT_EQ(today("--format '[{stale}]'").output, c.stale ? "[outdated]\n" : "[]\n");
    }
}

TEST_F(TodayCommand, NoForecastYetEndsNonZero)
{
    struct Case {
        const char* what;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        { "no Top city", [] { runtime::write_string(key, u"Top", u""); } },
        { "Top not a city code", [] { runtime::write_string(key, u"Top", u"Berlin"); } },
        { "nothing published", [] { runtime::write_string(key, u"TopTemp", u""), runtime::write_number(key, u"TopCode", 0xFFFFFFFFu); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.prepare();
        auto plain = today("");
        EXPECT_EQ(plain.exit_code, 1);
        EXPECT_EQ(plain.output, "no forecast yet\n");
        auto json_run = today("--json");
        EXPECT_EQ(json_run.exit_code, 1);
        rapidjson::Document json = parse(json_run.output);
        ASSERT_TRUE(json.IsObject() && json["text"].IsString()) << json_run.output;
        EXPECT_EQ(std::string(json["text"].GetString()) + " " + classes(json).at(0), "no forecast yet none");
    }
}

TEST_F(TodayCommand, RefreshRunsTheTopModeOnlyForAnOldForecast)
{
    struct Case {
        uint32_t interval;
        int minutes_old;
        bool server_reachable;
        int exit_code;
        bool renewed;
    };
    const Case cases[] = {
        { 60, 120, true, 0, true },
        { 60, 10, true, 0, false },
        { 0, 100000, true, 0, false }, // "Never"
        { 60, 120, false, 1, false },  // the download fails: said, and not ok
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.interval) + " min, " + std::to_string(c.minutes_old) + " min old");
        runtime::write_number(key, u"UpdateTime", c.interval);
        if (!c.server_reachable)
            runtime::write_string(key, u"Server", u"127.0.0.1:1");
        age_cache(c.minutes_old);
        std::string before = date_text_minutes_ago(c.minutes_old);
        auto run = today("--refresh");
        EXPECT_EQ(run.exit_code, c.exit_code);
        EXPECT_EQ(read_text(cache()).find("<Create date=\"" + before) == std::string::npos, c.renewed);
        runtime::write_string(key, u"Server", platform::from_utf8(service->address()));
    }
}

// The refresh timer's service runs its command line with the user manager's environment:
// HOME set, XDG_DATA_HOME mostly not.
TEST_F(TodayCommand, TheRefreshServicesCommandLineRenewsTheUsersCopy)
{
    std::string unit = read_text(std::string(NALO_SOURCE_DIR) + "/tools/nalo-weather-today/nalo-weather-refresh.service");
    std::smatch exec;
    ASSERT_TRUE(std::regex_search(unit, exec, std::regex("\nExecStart=/usr/bin/nalo-weather-today( [^\n]*)\n"))) << unit;
    runtime::write_number(key, u"UpdateTime", 60u);
    age_cache(90);
    std::string before = date_text_minutes_ago(90);
    auto run = run_command("env -u XDG_DATA_HOME HOME='" + home + "' " + NALO_TOOLS_DIR
        + "/nalo-weather-today" + exec[1].str() + " 2>&1");
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(read_text(cache()).find("<Create date=\"" + before), std::string::npos) << "not renewed";
    EXPECT_EQ(today("").output.find("outdated"), std::string::npos);
}

TEST_F(TodayCommand, CommandLine)
{
    const std::pair<const char*, int> cases[] = { { "--help", 0 }, { "--version", 0 }, { "--json --refresh", 2 },
        { "--format '{nope}'", 2 }, { "--format '{city'", 2 }, { "--format 'a}b'", 2 }, { "--format", 2 },
        { "--colour", 2 }, { "extra", 2 } };
    for (const auto& [arguments, exit_code] : cases)
        EXPECT_EQ(today(arguments).exit_code, exit_code) << arguments;
    // A folder that is not Weather's: refused, rather than a line of text keys.
    auto elsewhere = run_command(std::string(NALO_TOOLS_DIR) + "/nalo-weather-today --folder /nonexistent 2>&1");
    EXPECT_EQ(elsewhere.exit_code, 2);
    EXPECT_NE(elsewhere.output.find("no language file"), std::string::npos) << elsewhere.output;
    // Before Weather's first start there is neither a folder nor a forecast.
    runtime::write_string(key, u"Top", u"");
    auto never = run_command(std::string(NALO_TOOLS_DIR) + "/nalo-weather-today --folder /nonexistent");
    EXPECT_EQ(never.exit_code, 1);
    EXPECT_EQ(never.output, "no forecast yet\n");
    EXPECT_NE(today("--help").output.find("--format TEXT"), std::string::npos);
}

} // namespace
