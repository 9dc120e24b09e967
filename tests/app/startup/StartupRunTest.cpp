// The program Weather started as a user starts it, headless and scripted: the start-up
// steps and their failures, the first page shown, paging with keys and the stylus, the
// command line, and the settings file after the end.
#include "WeatherRun.h"

#include "AppTestSupport.h"

#include "app/Settings.h"
#include "runtime/Registry.h"

#include "support/TestSupport.h"


#include <filesystem>
#include <regex>

using namespace startup_test;
namespace fs = std::filesystem;

namespace {

std::vector<std::pair<std::string, std::string>> cities(int count)
{
    static const std::pair<std::string, std::string> known[] = { { "Berlin", "02950159" }, { "Oslo", "03143244" },
        { "Rome", "03169070" }, { "Paris", "02988507" }, { "Madrid", "03117735" }, { "Vienna", "02761369" },
        { "Prague", "03067696" }, { "Warsaw", "00756135" }, { "Lisbon", "02267057" }, { "Dublin", "02964574" } };
    return { std::begin(known), std::begin(known) + count };
}

class Startup : public WeatherRun {
protected:
    void with_cities(int count)
    {
        auto list = cities(count);
        save_cities(list);
        for (size_t i = 0; i < list.size(); ++i)
            fresh_cache(list[i].second, int(i) * 3 - 4, int(i) * 4);
    }
};

TEST_F(Startup, TraceLinesOfTheStartInOrder)
{
    with_cities(1);
    RunResult result = run("wait 1\nquit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    const char* steps[] = { " WinMain 1\n", " WinMain 3\n", " WinMain 4\n", " WinMain 5\n", " WinMain 6\n",
        " WinMain splash 0\n", " WinMain splash 1\n", " WinMain splash 1.5\n", " WinMain splash 2\n",
        " WinMain splash 3\n", " WinMain splash 4\n" };
    size_t at = 0;
    for (const char* step : steps) {
        size_t found = result.log.find(step, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order:" << step << result.log;
        // Each begins its line with the tick count.
        size_t line = result.log.rfind('\n', found);
        std::string ticks = result.log.substr(line + 1, found - line - 1);
        EXPECT_TRUE(std::regex_match(ticks, std::regex("-?[0-9]+"))) << step << " after '" << ticks << "'";
        at = found + 1;
    }
    EXPECT_NE(result.log.find("load FormMain fill page "), std::string::npos);
}

TEST_F(Startup, CleanInstallWithoutTheSiblingProductShowsTheAdvertisingPage)
{
    set_sibling(false);
    RunResult result = run("wait 1\nshot " + shot_path("first") + "\nquit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(last_after(result.log, "PageContainer pages "), "empty");
    EXPECT_TRUE(lines_with(result.log, "open_city_search").empty()) << result.log;
    EXPECT_TRUE(test_support::file_exists(shot_path("first")));
    // The advertising slot never reaches the settings file.
    std::string saved = app_test::read_text(settings_file());
    EXPECT_NE(saved.find("Locations"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("empty"), std::string::npos) << saved;
}

TEST_F(Startup, SiblingProductWithoutCitiesOpensTheCitySearch)
{
    RunResult result = run("wait 1\nshot " + shot_path("search") + "\nquit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    size_t search = result.log.find("FormMain::on_settings_event open_city_search");
    ASSERT_NE(search, std::string::npos) << result.log;
    EXPECT_LT(result.log.find(" WinMain splash 3\n"), search);
    EXPECT_GT(result.log.find(" WinMain splash 4\n"), search);
    EXPECT_TRUE(lines_with(result.log, "PageContainer pages").empty());
}

TEST_F(Startup, TenRecordsGiveTenDotsAndKeysPageThroughThem)
{
    with_cities(10);
    std::string script = "wait 0.5\n";
    for (int i = 0; i < 10; ++i)
        script += "key Right\nwait 0.3\n";
    script += "key Left\nwait 0.5\nquit\n";
    RunResult result = run(script);
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_FALSE(lines_with(result.log, "PageContainer dots 10 current 0").empty()) << result.log;
    for (int i = 1; i <= 9; ++i)
        EXPECT_FALSE(lines_with(result.log, "PageContainer dots 10 current " + std::to_string(i)).empty()) << i;
    // The tenth Right stays on the last page; Left then goes back one.
    EXPECT_EQ(lines_with(result.log, "FormMain glide to 9").size(), 2u);
    EXPECT_EQ(lines_with(result.log, "FormMain glide to ").back(), "FormMain glide to 8");
    EXPECT_EQ(last_after(result.log, "PageContainer dots "), "10 current 8");
}

TEST_F(Startup, DraggingBeyondTheLastPageIsHalfRateAndSpringsBack)
{
    with_cities(3);
    RunResult result = run("wait 0.5\nkey Right\nkey Right\nwait 1\nshot " + shot_path("before")
        + "\ndrag 200 150 40 150 1.2\nwait 1\nshot " + shot_path("after") + "\nquit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    std::string release = last_after(result.log, "PageContainer::stylus release position=");
    ASSERT_FALSE(release.empty()) << result.log;
    double position = std::stod(release);
    // 160 px of 240 at full rate would be 2.67; beyond the end they count half (all but
    // the first step, taken from the last page itself): about 2.35.
    EXPECT_GT(position, 2.3) << release;
    EXPECT_LT(position, 2.4) << release;
    EXPECT_NE(release.find("target=2 "), std::string::npos) << release;
    EXPECT_TRUE(app_test::same_pixels_but_overlay(shot_path("before"), shot_path("after")));
}

TEST_F(Startup, AFlickLeftGoesToTheNextPage)
{
    with_cities(3);
    RunResult result = run("wait 0.5\ndrag 200 150 140 150 0.1\nwait 1\nquit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    std::string release = last_after(result.log, "PageContainer::stylus release position=");
    EXPECT_NE(release.find("target=1 "), std::string::npos) << release;
    EXPECT_EQ(last_after(result.log, "PageContainer dots "), "3 current 1");
}

TEST_F(Startup, AMissingOrDamagedSplashSkinShowsTheMessageNamesTheFileAndFails)
{
    std::string skin = program_folder() + "/skins/bin/splash.skin";
    std::string bitmap = program_folder() + "/skins/bin/s_splash_partly-cloudy-day.bmp";
    // Missing, cut in the middle, not a skin; a bitmap cut short, missing.
    const std::vector<std::pair<std::string, std::string>> damages = { { skin, "-" }, { skin, "half" },
        { skin, "not a skin" }, { bitmap, "half" }, { bitmap, "-" } };
    for (const auto& [file, damage] : damages) {
        std::string whole = app_test::read_text(file);
        fs::rename(file, file + ".away");
        if (damage != "-")
            test_support::write_bytes(file, damage == "half" ? whole.substr(0, whole.size() / 2) : damage);
        RunResult result = run("wait 1\nquit\n", "240x320", 20);
        fs::remove(file);
        fs::rename(file + ".away", file);
        EXPECT_EQ(result.exit_code, 1) << file << damage;
        EXPECT_NE(result.error_output.find("No languages, please reinstall\n"
                                           "\xD0\x9D\xD0\xB5 \xD0\xBD\xD0\xB0\xD0\xB9\xD0\xB4\xD0\xB5\xD0\xBD\xD1\x8B"),
            std::string::npos)
            << result.error_output;
        EXPECT_NE(result.error_output.find("Weather: cannot load the splash skin: " + file + "\n"), std::string::npos)
            << result.error_output;
        EXPECT_EQ(lines_with(result.log, "WinMain cannot load the splash skin: ").size(), 1u) << result.log;
        EXPECT_EQ(result.log.find(" WinMain 3\n"), std::string::npos) << result.log;
    }
}

TEST_F(Startup, NoLanguageFileShowsTheMessageAndQuits)
{
    std::vector<fs::path> moved;
    for (const auto& entry : fs::directory_iterator(program_folder()))
        if (entry.path().extension() == ".lng") {
            fs::rename(entry.path(), entry.path().string() + ".away");
            moved.push_back(entry.path());
        }
    RunResult result = run("wait 2\nquit\n", "240x320", 20);
    for (const auto& path : moved)
        fs::rename(path.string() + ".away", path);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.error_output.find("No languages, please reinstall\n"), std::string::npos) << result.error_output;
    EXPECT_NE(result.log.find(" WinMain splash 0\n"), std::string::npos);
    EXPECT_EQ(result.log.find(" WinMain splash 1\n"), std::string::npos);
}

TEST_F(Startup, ASkinWithoutANodeTheProgramNeedsEndsWithItsName)
{
    with_cities(1);
    // A copy of the default skin whose menu button has another id.
    std::string folder = program_folder() + "/skins/bin";
    std::vector<uint8_t> bytes = test_support::read_bytes(folder + "/default.skin");
    std::u16string from = u"btnMenu", to = u"btnMenX";
    std::string from_bytes(reinterpret_cast<const char*>(from.data()), from.size() * 2);
    std::string to_bytes(reinterpret_cast<const char*>(to.data()), to.size() * 2);
    std::string image(bytes.begin(), bytes.end());
    size_t replaced = 0;
    for (size_t at = image.find(from_bytes); at != std::string::npos; at = image.find(from_bytes, at + 1), ++replaced)
        image.replace(at, to_bytes.size(), to_bytes);
    ASSERT_GT(replaced, 0u);
    test_support::write_bytes(folder + "/broken.skin", image);
    runtime::write_string(weather::weather_key, u"Skin", u"broken");
    RunResult result = run("wait 2\nquit\n", "240x320", 20);
    fs::remove(folder + "/broken.skin");
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.error_output.find("Gluck: node not found: btnMenu"), std::string::npos) << result.error_output;
    EXPECT_NE(result.log.find("Gluck: node not found: btnMenu"), std::string::npos) << result.log;
}

TEST_F(Startup, SoftKeysOpenTheMenuAndExit)
{
    with_cities(2);
    RunResult result = run("wait 0.5\nkey SOFT_RIGHT\nwait 1\nshot " + shot_path("menu") + "\nkey Esc\nwait 1\nshot "
        + shot_path("back") + "\nkey SOFT_LEFT\nwait 5\n");
    // SOFT_LEFT is btnExit: the program ends before the script does.
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(lines_with(result.log, "FormMain::on_settings_event open_menu").size(), 1u) << result.log;
    EXPECT_FALSE(app_test::same_pixels_but_overlay(shot_path("menu"), shot_path("back")));
    EXPECT_NE(result.log.find("Application::~Application()"), std::string::npos);
}

TEST_F(Startup, SettingsFileAfterTheEndHoldsTheCitiesInPageOrder)
{
    with_cities(4);
    RunResult result = run("wait 0.5\nquit\n");
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(last_after(result.log, "PageContainer pages "), "Berlin | Oslo | Rome | Paris");
    std::string saved = app_test::read_text(settings_file());
    size_t berlin = saved.find("Berlin"), oslo = saved.find("Oslo"), rome = saved.find("Rome"), paris = saved.find("Paris");
    ASSERT_NE(paris, std::string::npos) << saved;
    EXPECT_TRUE(berlin < oslo && oslo < rome && rome < paris) << saved;
}

TEST_F(Startup, CommandLineOptions)
{
    std::string program = program_folder() + "/Weather";
    auto help = test_support::run_command(program + " --help");
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.output.find("Usage: Weather"), std::string::npos) << help.output;
    auto version = test_support::run_command(program + " --version");
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_NE(version.output.find("Weather"), std::string::npos) << version.output;
    EXPECT_TRUE(std::regex_search(version.output, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+"))) << version.output;
    auto unknown = test_support::run_command(program + " --bogus 2>&1");
    EXPECT_EQ(unknown.exit_code, 2);
    EXPECT_NE(unknown.output.find("--bogus"), std::string::npos) << unknown.output;
}

TEST_F(Startup, ADamagedListIsKeptAsideWithItsReadableCitiesAndToldOnce)
{
    for (const auto& entry : fs::directory_iterator(program_folder()))
        if (entry.path().filename().string().starts_with("settings.xml.damaged"))
            fs::remove(entry.path());
    const std::string damaged = "<Locations><Item city=\"Berlin\" city_code=\"02950159\"/><Item city=\"Os";
    test_support::write_bytes(settings_file(), damaged);
    fresh_cache("02950159", 3, 30);
    RunResult first = run("wait 1.5\nshot " + shot_path("message") + "\nkey Esc\nwait 0.6\nquit\n");
    EXPECT_EQ(first.exit_code, 0) << first.error_output;
    EXPECT_EQ(lines_with(first.log, "FormMessage::show The city list was damaged. 1 cities were kept").size(), 1u)
        << first.log;
    std::vector<fs::path> aside;
    for (const auto& entry : fs::directory_iterator(program_folder()))
        if (entry.path().filename().string().starts_with("settings.xml.damaged-"))
            aside.push_back(entry.path());
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(app_test::read_text(aside[0].string()), damaged);
    EXPECT_EQ(app_test::read_text(settings_file()), "<Locations><Item city=\"Berlin\" city_code=\"02950159\"/></Locations>");

    RunResult second = run("wait 1.5\nquit\n");
    EXPECT_EQ(second.log.find("FormMessage::show"), std::string::npos) << second.log;
    fs::remove(aside[0]);
}

} // namespace
