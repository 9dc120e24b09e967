// Scripted headless runs of the program Weather (NALO_SCRIPT) through the secondary
// forms: each run has a program folder of its own (a copy of Weather beside links to the
// shipped city database, languages and skins, a stand-in Ombrelo), the trace switched on,
// and is judged by its trace, its exit, the settings file it leaves and its shots.
#include "AppTestSupport.h"

#include "app/Settings.h"

#include "platform/RequestQueue.h"
#include "platform/TextEncoding.h"
#include "runtime/Registry.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <unistd.h>
#include <fstream>
#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::string program = NALO_PROGRAM_DIR;

struct RunResult {
    int exit_code { -1 };
    double seconds { 0 };
    std::string log;
};

// Positions on the 240x320 screen of the shipped layout.
constexpr int row_top = 34;      // the city list's first row
constexpr int row_height = 44;
int row_centre(int row) { return row_top + row * row_height + row_height / 2; }
constexpr int delete_x = 21;     // btnDel
constexpr int confirm_x = 190;   // btnDelF, once shown
constexpr int handle_x = 218;    // btnMove

class WeatherScriptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app_test::reset_program_state();
        runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 1);
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_folder = test_support::scratch_folder("weather-" + name);
    }
    void TearDown() override
    {
        // The request queue outlives the programs: the test's own goes with the test.
        setenv("NALO_QUEUE_SUFFIX", queue_suffix().c_str(), 1);
        platform::RequestQueue::remove(u"NALO/Weather");
        unsetenv("NALO_QUEUE_SUFFIX");
        runtime::delete_key(u"HKEY_CURRENT_USER\\Software\\NALO\\Weather");
        app_test::reset_program_state();
    }

    // The program folder: Weather copied (its folder is "%app_path%"), the data linked
    // (the time zones of places.tsv only when asked: they put a suggestion first).
    void make_folder(bool all_languages = true, bool places = false)
    {
        fs::copy_file(program + "/Weather", m_folder + "/Weather", fs::copy_options::overwrite_existing);
        fs::create_directory_symlink(program + "/skins", m_folder + "/skins");
        if (places)
            fs::create_symlink(program + "/places.tsv", m_folder + "/places.tsv");
        for (const auto& entry : fs::directory_iterator(program)) {
            std::string name = entry.path().filename().string();
            bool language = entry.path().extension() == ".lng";
            if ((language && (all_languages || name == "english.lng")) || name.ends_with("codes.dat"))
                fs::create_symlink(entry.path(), m_folder + "/" + name);
        }
        fs::create_directory(m_folder + "/downloads");
        // A stand-in daemon: the pages may ask for forecasts; nothing answers.
        std::ofstream(m_folder + "/Ombrelo") << "#!/bin/sh\nexit 0\n";
        fs::permissions(m_folder + "/Ombrelo", fs::perms::owner_all);
    }
    void write_settings(const std::vector<std::pair<std::string, std::string>>& cities)
    {
        std::string xml = "<Locations>";
        for (const auto& [name, code] : cities)
            xml += "<Item city=\"" + name + "\" city_code=\"" + code + "\"/>";
        test_support::write_bytes(m_folder + "/settings.xml", xml + "</Locations>");
    }
    std::string settings() const { return app_test::read_text(m_folder + "/settings.xml"); }
    std::string shot(const std::string& name) const { return m_folder + "/" + name + ".png"; }

    RunResult run(const std::string& script, const std::string& environment = "NALO_SCREEN=240x320@96")
    {
        std::string script_path = m_folder + "/script.txt";
        test_support::write_bytes(script_path, script);
        std::string log_path = std::string(std::getenv("NALO_TEMP")) + "/Weather.txt";
        fs::remove(log_path);
        auto start = std::chrono::steady_clock::now();
        auto result = test_support::run_command("cd '" + m_folder + "' && NALO_HEADLESS=1 NALO_QUEUE_SUFFIX=" + queue_suffix()
            + " " + environment + " NALO_SCRIPT='"
            + script_path + "' timeout 90 ./Weather 2>&1");
        RunResult r;
        r.exit_code = result.exit_code;
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        r.log = test_support::read_utf16_file(log_path);
        if (r.exit_code != 0)
            ADD_FAILURE() << "Weather: " << result.output;
        return r;
    }

    // A request queue of the test's own: the stand-in daemon reads none, so the pages'
    // requests stay in it.
    static std::string queue_suffix() { return "script-" + std::to_string(getpid()); }

    std::string m_folder;
};

// The lines of the trace that begin with the text, in order.
std::vector<std::string> lines(const std::string& log, const std::string& start)
{
    std::vector<std::string> out;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(start, 0) == 0)
            out.push_back(line);
    return out;
}

// "Filtered N for S seconds." as the counts N, in order.
std::vector<int> filtered(const std::string& log)
{
    std::vector<int> out;
    for (const std::string& line : lines(log, "Filtered "))
        out.push_back(std::stoi(line.substr(9)));
    return out;
}

bool before(const std::string& log, const std::string& first, const std::string& second)
{
    size_t a = log.find(first);
    return a != std::string::npos && log.find(second, a) != std::string::npos;
}

} // namespace

TEST_F(WeatherScriptTest, TheFirstSearchListsEveryCityAndUpperCaseFindsBerlinWithinSixTenths)
{
    // With the sibling product there is no advertising slot: the list starts empty and
    // the search opens at once.
    app_test::set_sibling_installed(true);
    make_folder();
    RunResult r = run("wait 1.5\n"
                "shot " + shot("search-all") + "\n"
                "text BERL\n"
                "wait 0.6\n"
                "shot " + shot("search-berl") + "\n"
                "key Down\nkey Enter\n"
                "wait 1\n"
                "shot " + shot("main") + "\n"
                "quit\n");
    std::vector<int> counts = filtered(r.log);
    ASSERT_GE(counts.size(), 2u) << r.log;
    EXPECT_EQ(counts[0], 24361) << "an empty filter on the first run lists every city";
    EXPECT_EQ(counts.back(), 1) << "\"BERL\" finds Berlin as \"berl\" would";
    EXPECT_NE(settings().find("city=\"Berlin, Berlin, Germany\" city_code=\"02950159\""), std::string::npos)
        << "Down and Enter 0.6 s after the last key chose Berlin, and the list was saved: " << settings();
    EXPECT_NE(r.log.find("FormMain::on_settings_event city_added"), std::string::npos) << "a page for it";

    // The shipped database is sorted by name without regard to case: each letter once.
    std::vector<std::string> rulers = lines(r.log, "AlphabetRuler::set_letters ");
    ASSERT_FALSE(rulers.empty());
    std::u16string letters = platform::from_utf8(rulers.front().substr(27));
    EXPECT_EQ(std::set<char16_t>(letters.begin(), letters.end()).size(), letters.size()) << rulers.front();
    // Accented first letters are filed with their base letter: every letter once, in order.
    std::u16string latin;
    std::copy_if(letters.begin(), letters.end(), std::back_inserter(latin), [](char16_t c) { return c >= u'A' && c <= u'Z'; });
    EXPECT_EQ(platform::to_utf8(latin), "ABCDEFGHIJKLMNOPQRSTUVWXYZ") << rulers.front();
    EXPECT_EQ(letters.back(), u'#') << "digits and signs last";
    for (const char* name : { "search-all", "search-berl", "main" })
        EXPECT_TRUE(test_support::file_exists(shot(name))) << name;
}

TEST_F(WeatherScriptTest, ACityInTheListIsHiddenAndFoundAgainHalfASecondAfterItsRemoval)
{
    make_folder();
    write_settings({ { "Berlin, Berlin, Germany", "02950159" } });
    RunResult r = run("wait 1\n"
                "key SOFT_RIGHT\nwait 0.5\n"
                "key 1\nwait 0.5\n"
                "key Insert\nwait 0.8\n"
                "text berl\nwait 0.7\n"
                "shot " + shot("hidden") + "\n"
                // Back would take a letter: the left soft key leaves.
                "key SOFT_LEFT\nwait 0.5\n"
                // Two Del presses on the highlighted city.
                "key Down\nwait 0.2\nkey Del\nwait 0.3\nkey Del\n"
                "wait 0.7\n"
                "key Insert\nwait 0.5\n"
                "shot " + shot("found") + "\n"
                "quit\n");
    std::vector<int> counts = filtered(r.log);
    ASSERT_EQ(counts.size(), 5u) << r.log;
    EXPECT_EQ(counts[0], 24361) << "the first run does not look at the list";
    EXPECT_EQ(counts[1], 24360) << "the search opens over every city but Berlin";
    EXPECT_EQ(counts[2], 0) << "Berlin is in the list: hidden";
    EXPECT_EQ(counts[3], 1) << "half a second after the removal it is found again";
    EXPECT_EQ(counts[4], 24361) << "the next search opens with an empty field over every city";
    EXPECT_TRUE(before(r.log, "FormItems::confirm_delete row=0", "Filtered 1 for"));
    EXPECT_TRUE(before(r.log, "FormItems::toggle_mark row=0 mark=1", "FormItems::confirm_delete row=0"));
    EXPECT_EQ(settings().find("02950159"), std::string::npos) << settings();
}

TEST_F(WeatherScriptTest, TenRecordsOpenTheMessageAndNineTheSearchAndDeletingTakesTwoTaps)
{
    make_folder();
    std::vector<std::pair<std::string, std::string>> nine;
    for (int i = 1; i <= 9; ++i)
        nine.push_back({ "City " + std::to_string(i), "0000000" + std::to_string(i) });
    write_settings(nine); // with the advertising slot: ten records
    RunResult r = run("wait 1\n"
                "key SOFT_RIGHT\nwait 0.5\nkey 1\nwait 0.5\n"
                "key Insert\nwait 0.5\n"
                "shot " + shot("message") + "\n"
                "key Esc\nwait 0.5\n"
                "tap " + std::to_string(delete_x) + " " + std::to_string(row_centre(1)) + "\nwait 0.5\n"
                "shot " + shot("armed") + "\n"
                "tap " + std::to_string(confirm_x) + " " + std::to_string(row_centre(1)) + "\nwait 0.5\n"
                "key Insert\nwait 0.5\n"
                "shot " + shot("search") + "\n"
                "quit\n");
    EXPECT_TRUE(before(r.log, "FormMain::on_settings_event open_limit_message", "FormMessage::show"));
    EXPECT_TRUE(before(r.log, "FormMessage::show", "FormItems::confirm_delete row=1"));
    EXPECT_TRUE(before(r.log, "FormItems::confirm_delete row=1", "FormTotal::reset_and_show"));
    EXPECT_EQ(settings().find("City 2"), std::string::npos) << settings();
    EXPECT_NE(settings().find("City 3"), std::string::npos);
}

TEST_F(WeatherScriptTest, AnArmedRowIsDisarmedWhenTheListOpensAgain)
{
    make_folder();
    write_settings({ { "Berlin, Berlin, Germany", "02950159" }, { "Paris, Ile-de-France, France", "02988507" } });
    RunResult r = run("wait 1\n"
                "key SOFT_RIGHT\nwait 0.5\nkey 1\nwait 1\n"
                "shot " + shot("list-before") + "\n"
                "tap " + std::to_string(delete_x) + " " + std::to_string(row_centre(0)) + "\nwait 0.6\n"
                "shot " + shot("list-armed") + "\n"
                "key Esc\nwait 0.6\n"
                "key SOFT_RIGHT\nwait 0.5\nkey 1\nwait 1\n"
                "shot " + shot("list-again") + "\n"
                "quit\n");
    EXPECT_TRUE(before(r.log, "FormItems::toggle_mark row=0 mark=1", "FormItems::open rows=2"));
    for (const char* name : { "list-before", "list-armed", "list-again" })
        ASSERT_TRUE(fs::exists(shot(name))) << name;
    EXPECT_FALSE(app_test::same_pixels_but_overlay(shot("list-armed"), shot("list-before")));
    EXPECT_TRUE(app_test::same_pixels_but_overlay(shot("list-again"), shot("list-before"))) << "every row disarmed";
}

TEST_F(WeatherScriptTest, ADragOnTheHandleReordersTheCitiesAndThePages)
{
    make_folder();
    write_settings({ { "Berlin, Berlin, Germany", "02950159" }, { "Bern, Canton of Bern, Switzerland", "02661552" },
        { "Paris, Ile-de-France, France", "02988507" } });
    std::string x = std::to_string(handle_x);
    RunResult r = run("wait 1\n"
                "key SOFT_RIGHT\nwait 0.5\nkey 1\nwait 0.8\n"
                "drag " + x + " " + std::to_string(row_centre(0)) + " " + x + " " + std::to_string(row_centre(2)) + " 1\n"
                "wait 0.6\n"
                "shot " + shot("moved") + "\n"
                "key Esc\nwait 0.6\n"
                "shot " + shot("main") + "\n"
                "quit\n");
    EXPECT_NE(r.log.find("Move direction: 1"), std::string::npos);
    EXPECT_TRUE(before(r.log, "FormItems::rows_exchanged 0 1", "FormItems::rows_exchanged 1 2"));
    std::string s = settings();
    size_t bern = s.find("Bern,"), paris = s.find("Paris"), berlin = s.find("Berlin");
    ASSERT_NE(berlin, std::string::npos) << s;
    EXPECT_LT(bern, paris);
    EXPECT_LT(paris, berlin) << "Berlin walked from the first place to the third: " << s;
}

TEST_F(WeatherScriptTest, AnIntervalNotInTheTableChecksNoEntryAndOneLanguageHidesItsButton)
{
    make_folder(false);
    write_settings({ { "Berlin, Berlin, Germany", "02950159" } });
    runtime::write_number(weather::weather_key, u"UpdateTime", 100);
    RunResult r = run("wait 1\n"
                "key SOFT_RIGHT\nwait 0.6\n"
                "shot " + shot("menu") + "\n"
                "key 5\nwait 0.3\n"
                "key 4\nwait 0.6\n"
                "shot " + shot("interval") + "\n"
                "key Esc\nwait 0.5\n"
                "quit\n");
    EXPECT_NE(r.log.find("FormMenu::update_nodes table=0 language=0 skin=1"), std::string::npos) << r.log;
    EXPECT_EQ(r.log.find("FormMenu::on_popup Language"), std::string::npos) << "5 does nothing without the button";
    EXPECT_NE(r.log.find("FormMenu::on_popup UpdateTime 100 checked none"), std::string::npos);
    int32_t stored = 0;
    EXPECT_TRUE(runtime::read_number(weather::weather_key, u"UpdateTime", stored));
    EXPECT_EQ(stored, 100) << "Back chose Cancel: nothing stored";
}

TEST_F(WeatherScriptTest, AKeypadPhoneTypesTwoCitiesByMultiTapAndDeletesOneWithoutADeleteKey)
{
    std::ifstream in(std::string(NALO_SOURCE_DIR) + "/scripts/demo/keypad-phone.script");
    std::stringstream script;
    script << in.rdbuf();
    for (const char* screen : { "240x320@96", "320x240@96" }) {
        SCOPED_TRACE(screen);
        make_folder();
        RunResult r = run(script.str(), std::string("NALO_PLATFORM=Smartphone NALO_SCREEN=") + screen);
        std::vector<int> counts = filtered(r.log);
        EXPECT_NE(std::find(counts.begin(), counts.end(), 1), counts.end()) << "\"berl\" and \"düss\" each found one city";
        EXPECT_NE(r.log.find("FormTotal::choose 02950159 Berlin, Berlin, "), std::string::npos) << r.log;
        EXPECT_NE(r.log.find("FormTotal::choose 02934246 D\u00FCsseldorf"), std::string::npos) << "ü typed from the 8 key";
        EXPECT_NE(r.log.find("FormItems::on_popup Delete row=0"), std::string::npos);
        EXPECT_EQ(settings().find("02950159"), std::string::npos) << "Berlin deleted: " << settings();
        EXPECT_NE(settings().find("02934246"), std::string::npos) << settings();
        for (const char* name : { "02-typing-berl", "06-typing-duess", "11-city-options", "12-city-list-after-delete" })
            EXPECT_TRUE(test_support::file_exists(m_folder + "/" + name + ".png")) << name;
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
}

TEST_F(WeatherScriptTest, CitiesAreFoundAsTheUsersLanguageWritesThemAndAFirstStartSuggestsOne)
{
    const struct {
        const char* language;
        const char* typed;      // empty: the suggestion, the first row
        const char* environment;
        const char* code;
        const char* name;
    } table[] = {
        { "german", "münch", "TZ=Etc/UTC", "02867714", "München, Bayern, Deutschland" },
        { "russian", "моск", "TZ=Etc/UTC", "00524901", "Москва, Москва, Россия" },
        { "english", "sao paulo", "TZ=Etc/UTC", "03448439", "São Paulo, São Paulo, Brazil" },
        { "english", "", "TZ=Asia/Tokyo", "01850147", "Tokyo, Tokyo, Japan" },
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.language + std::string(" ") + row.typed);
        app_test::set_sibling_installed(true);
        make_folder(true, true);
        runtime::write_string(weather::weather_key, u"Language", platform::from_utf8(row.language));
        std::string typing = *row.typed ? std::string("text ") + row.typed + "\nwait 0.7\n" : "";
        RunResult r = run("wait 1.5\n" + typing + "shot " + shot("search") + "\nkey Down\nkey Enter\nwait 1\n"
                "shot " + shot("page") + "\nquit\n", std::string("NALO_SCREEN=240x320@96 ") + row.environment);
        std::string chosen = std::string("FormTotal::choose ") + row.code + " " + row.name;
        EXPECT_NE(r.log.find(chosen), std::string::npos) << "the first row: " << r.log;
        EXPECT_NE(r.log.find(std::string("WeatherView::reload_weather start for city = ") + row.name), std::string::npos)
            << "the page has the name as chosen";
        EXPECT_NE(settings().find(std::string("city=\"") + row.name + "\" city_code=\"" + row.code + "\""), std::string::npos)
            << settings();
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
}

// The details open by Enter and by a tap on the current condition, not by a drag that
// starts there, and Back returns to the pages.
TEST_F(WeatherScriptTest, EnterOrATapOnTheConditionOpensTheDetails)
{
    make_folder(false);
    write_settings({ { "Berlin, Berlin, Germany", "02950159" } });
    RunResult r = run("wait 0.5\nkey Enter\nwait 0.6\nshot details.png\nkey Esc\nwait 0.6\n"
                      "drag 50 80 200 80 0.3\nwait 0.6\ntap 50 80\nwait 0.6\nkey SOFT_LEFT\nwait 0.6\nshot pages.png\nquit\n");
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(lines(r.log, "FormDetail::show 0").size(), 2u) << r.log;
    EXPECT_EQ(lines(r.log, "FormMain::on_settings_event open_details").size(), 1u) << "the tap, not the drag";
    EXPECT_TRUE(test_support::file_exists(shot("details")));
    EXPECT_FALSE(app_test::same_pixels_but_overlay(shot("details"), shot("pages")));
}
