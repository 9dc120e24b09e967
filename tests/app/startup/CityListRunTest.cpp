// Weather scripted through its forms as a user drives it with the keypad: the page strip
// follows the city list (the advertising page kept second, the first real city first, a
// jump back when the list closes with the view beyond its end), a unit switch reaches
// every page, the saved order is the page order, and a city added just before a kill -9
// is there at the next start.
#include "WeatherRun.h"

#include "AppTestSupport.h"

#include "support/TestSupport.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

using namespace startup_test;

namespace {

const std::string open_city_list = "wait 0.6\nkey SOFT_RIGHT\nwait 0.6\nkey 1\nwait 0.6\n";
const std::string back_to_pages = "key Esc\nwait 0.6\nkey Esc\nwait 0.8\n";

class CityListRun : public WeatherRun {
protected:
    void with_cities(const std::vector<std::pair<std::string, std::string>>& cities)
    {
        save_cities(cities);
        for (size_t i = 0; i < cities.size(); ++i)
            fresh_cache(cities[i].second, int(i) * 3 - 4, int(i) * 4);
    }
    // The city names of the settings file in order.
    std::vector<std::string> saved_names() const
    {
        std::string xml = app_test::read_text(settings_file());
        std::vector<std::string> names;
        for (size_t at = xml.find("city=\""); at != std::string::npos; at = xml.find("city=\"", at + 1)) {
            size_t end = xml.find('"', at + 6);
            names.push_back(xml.substr(at + 6, end - at - 6));
        }
        return names;
    }
};

std::vector<std::string> split_pages(const std::string& line)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (true) {
        size_t bar = line.find(" | ", start);
        names.push_back(line.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            return names;
        start = bar + 3;
    }
}

TEST_F(CityListRun, RemovingTheFirstCityKeepsTheAdvertisingPageSecond)
{
    set_sibling(false);
    with_cities({ { "Berlin", "02950159" }, { "Oslo", "03143244" }, { "Rome", "03169070" } });
    RunResult result = run(open_city_list + "key Down\nwait 0.3\nkey Del\nwait 0.5\nkey Del\nwait 0.8\n" + back_to_pages
        + "shot " + shot_path("after") + "\nquit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    std::vector<std::string> pages = lines_with(result.log, "PageContainer pages ");
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages.front(), "PageContainer pages Berlin");
    EXPECT_EQ(pages.back(), "PageContainer pages Oslo | empty | Rome") << result.log;
    EXPECT_FALSE(lines_with(result.log, "FormMain::on_settings_event city_removed 0").empty());
    EXPECT_EQ(saved_names(), (std::vector<std::string> { "Oslo", "Rome" }));
}

TEST_F(CityListRun, TheFirstRealCityGoesBeforeTheAdvertisingPage)
{
    set_sibling(false);
    RunResult result = run(open_city_list + "key Insert\nwait 1\ntext Berlin\nwait 1\nkey Down\nwait 0.3\nkey Enter\nwait 1\n"
        + back_to_pages + "shot " + shot_path("after") + "\nquit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(last_after(result.log, "PageContainer pages "), "Berlin, Berlin, Germany | empty") << result.log;
    // The view stays on the first page, now the new city's.
    EXPECT_EQ(last_after(result.log, "PageContainer dots "), "2 current 0");
    EXPECT_EQ(saved_names(), (std::vector<std::string> { "Berlin, Berlin, Germany" }));
}

TEST_F(CityListRun, ClosingTheListWithTheViewBeyondItsEndJumpsToTheLastPage)
{
    with_cities({ { "Berlin", "02950159" }, { "Oslo", "03143244" }, { "Rome", "03169070" } });
    RunResult result = run("wait 0.5\nkey Right\nkey Right\nwait 1\n" + open_city_list
        + "key Down\nwait 0.4\nkey Down\nwait 0.4\nkey Down\nwait 0.5\nkey Del\nwait 0.5\nkey Del\nwait 0.8\n" + back_to_pages + "quit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(last_after(result.log, "PageContainer pages "), "Berlin | Oslo");
    size_t closed = result.log.find("FormMain::on_settings_event city_list_closed");
    size_t jump = result.log.find("PageContainer::jump_to 1");
    ASSERT_NE(closed, std::string::npos) << result.log;
    ASSERT_NE(jump, std::string::npos) << result.log;
    EXPECT_LT(closed, jump);
    EXPECT_EQ(last_after(result.log, "PageContainer dots "), "2 current 1");
}

TEST_F(CityListRun, TheUnitSwitchReachesEveryPage)
{
    with_cities({ { "Berlin", "02950159" }, { "Oslo", "03143244" }, { "Rome", "03169070" } });
    std::string script = "wait 1\n";
    auto shoot_pages = [&](const char* prefix) {
        for (int i = 0; i < 3; ++i) {
            if (i)
                script += "key Right\nwait 0.8\n";
            script += "shot ";
            script += shot_path(prefix + std::to_string(i));
            script += '\n';
        }
    };
    shoot_pages("c");
    script += "key Left\nkey Left\nwait 0.8\nkey SOFT_RIGHT\nwait 0.6\nkey 3\nwait 0.4\nkey Esc\nwait 0.8\n";
    shoot_pages("f");
    RunResult result = run(script + "quit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    for (int i = 0; i < 3; ++i) {
        std::vector<uint8_t> celsius = temperature_region(shot_path(std::string("c") + char('0' + i)));
        ASSERT_FALSE(celsius.empty()) << i;
        EXPECT_NE(celsius, temperature_region(shot_path(std::string("f") + char('0' + i)))) << "page " << i << " kept its °C";
    }
    // Pages 1 and 2 showed different temperatures before, and still do.
    EXPECT_NE(temperature_region(shot_path("f1")), temperature_region(shot_path("f2")));
}

TEST_F(CityListRun, TheSavedOrderIsThePageOrderAfterMoves)
{
    with_cities({ { "Berlin", "02950159" }, { "Oslo", "03143244" }, { "Rome", "03169070" }, { "Paris", "02988507" } });
    RunResult result = run(open_city_list + "key Down\nwait 0.3\nkey #\nwait 0.4\nkey #\nwait 0.4\nkey Up\nwait 0.3\nkey *\nwait 0.4\n"
        + back_to_pages + "key SOFT_LEFT\nwait 5\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    std::vector<std::string> pages = split_pages(last_after(result.log, "PageContainer pages "));
    EXPECT_NE(pages, (std::vector<std::string> { "Berlin", "Oslo", "Rome", "Paris" })) << "nothing moved";
    EXPECT_EQ(saved_names(), pages);
}

TEST_F(CityListRun, ACityAddedJustBeforeAKillIsThereAtTheNextStart)
{
    // With the sibling product and no city the search opens at once.
    WeatherProcess process = start("wait 1\ntext Oslo\nwait 1\nkey Down\nwait 0.3\nkey Enter\nwait 30\nquit\n");
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (log_text().find("FormMain::on_settings_event city_added") == std::string::npos
        && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    process.kill_hard();
    RunResult killed = process.wait(10);
    ASSERT_TRUE(killed.killed);
    ASSERT_NE(log_text().find("FormMain::on_settings_event city_added"), std::string::npos);

    RunResult again = run("wait 1\nquit\n");
    EXPECT_EQ(again.exit_code, 0) << again.error_output;
    std::string pages = last_after(again.log, "PageContainer pages ");
    EXPECT_EQ(pages.rfind("Oslo", 0), 0u) << again.log;
    EXPECT_EQ(again.log.find("open_city_search"), std::string::npos);
}

TEST_F(CityListRun, TwoCopiesOnOneProgramFolderKeepEachOthersCities)
{
    with_cities({ { "Berlin", "02950159" } });
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string saved = runtime ? runtime : "";
    // Runtime folders of their own (short: they hold the single-instance socket): two
    // copies run at once on one program folder and add a city each.
    auto start_copy = [&](const std::string& city) {
        std::string folder = "/tmp/nalo-copy-" + std::to_string(getpid()) + "-" + city, script = m_shots + "/" + city;
        std::filesystem::create_directories(folder);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        test_support::write_bytes(script, open_city_list + "key Insert\nwait 1\ntext " + city
                + "\nwait 1\nkey Down\nwait 0.3\nkey Enter\nwait 1\n" + back_to_pages + "quit\n");
        return WeatherProcess(program_folder(), script, "240x320", error_file());
    };
    WeatherProcess oslo = start_copy("Oslo"), lima = start_copy("Lima");
    saved.empty() ? unsetenv("XDG_RUNTIME_DIR") : setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    EXPECT_EQ(oslo.wait(60).exit_code + lima.wait(60).exit_code, 0);
    for (const std::string city : { "Oslo", "Lima" })
        std::filesystem::remove_all("/tmp/nalo-copy-" + std::to_string(getpid()) + "-" + city);
    std::vector<std::string> names = saved_names();
    ASSERT_EQ(names.size(), 3u) << app_test::read_text(settings_file());
    EXPECT_TRUE(names[1].starts_with("Oslo") ? names[2].starts_with("Lima") : names[1].starts_with("Lima"));
}

TEST_F(CityListRun, TwelveCitiesAreKeptWholeAfterAddingAndRemovingACity)
{
    std::vector<std::pair<std::string, std::string>> cities;
    std::vector<std::string> kept;
    for (int i = 10; i < 22; ++i) {
        std::string number = std::to_string(i);
        cities.push_back({ std::string("City ").append(number), std::string("CITY10").append(number) });
        if (i > 10)
            kept.push_back(cities.back().first);
    }
    with_cities(cities);
    // Adding shows the limit message; the first city is deleted.
    RunResult result = run(open_city_list + "key Insert\nwait 0.8\nkey Esc\nwait 0.6\nkey Down\nwait 0.3\nkey Del\nwait 0.5\n"
        + "key Del\nwait 0.8\n" + back_to_pages + "quit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(lines_with(result.log, "FormMain::on_settings_event open_limit_message").size(), 1u) << result.log;
    EXPECT_EQ(saved_names(), kept);
}

} // namespace
