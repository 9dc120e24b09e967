// The installed launcher with the real application, headless: a scripted run adds a
// city, the installed folder is upgraded, and the next run finds the city in the user's
// program folder.
#include "InstallTree.h"

#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <mqueue.h>
#include <regex>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace packaging_test;
using test_support::run_command;
using test_support::write_bytes;

namespace {

const std::string weather_key = "'HKEY_CURRENT_USER\\Software\\NALO\\Weather'";

std::string reg(const std::string& arguments)
{
    return std::string(NALO_TOOLS_DIR) + "/nalo-reg " + arguments + " 2>&1";
}

std::vector<std::string> city_codes(const std::string& settings)
{
    std::vector<std::string> codes;
    std::regex code("city_code=\"([0-9]{8})\"");
    for (auto it = std::sregex_iterator(settings.begin(), settings.end(), code); it != std::sregex_iterator(); ++it)
        codes.push_back((*it)[1]);
    return codes;
}

} // namespace

TEST(InstalledWeather, TheUsersCitiesSurviveAnUpgrade)
{
    std::string folder = test_support::scratch_folder("installed-weather");
    std::string error;
    auto tree = InstallTree::install(folder, "/usr", error);
    ASSERT_TRUE(tree) << error;
    std::string data = folder + "/data";
    std::string user = data + "/nalo/Weather";
    // No forecast service answers on Server: the launcher starts forecastd there, with the
    // sample replies (no internet in tests). Without the sibling product the program
    // starts on its pages, not in the city search.
    std::string server = "127.0.0.1:" + std::to_string(free_loopback_port());
    ASSERT_EQ(run_command(reg("set " + weather_key + " Server --string " + server)).exit_code, 0);
    run_command(reg("delete 'HKEY_LOCAL_MACHINE\\Software\\Apps\\NALO Quillpane'"));

    // The first run: the menu's city list, Insert opens the search, pick the first Berlin.
    std::string add = folder + "/add-city.txt";
    write_bytes(add, "wait 0.6\n"
                     "key SOFT_RIGHT\nwait 0.6\n"
                     "key 1\nwait 0.6\n"
                     "key Insert\nwait 1\n"
                     "text Berlin\nwait 1\n"
                     "key Down\nwait 0.3\n"
                     "key Enter\nwait 1\n"
                     "shot " + folder + "/added.png\n"
                     "key Esc\nwait 0.6\n"
                     "key Esc\nwait 4\n"
                     "shot " + folder + "/page.png\n"
                     "quit\n");
    // A request queue of its own, so that no other test's daemon reads it; it goes with the test.
    struct OwnQueue {
        std::string name = "/NALO.Weather." + std::to_string(getuid()) + ".packaging-" + std::to_string(getpid());
        ~OwnQueue() { mq_unlink(name.c_str()); }
    } own_queue;
    std::string env = "env XDG_DATA_HOME='" + data + "' NALO_HEADLESS=1 NALO_QUEUE_SUFFIX=packaging-"
        + std::to_string(getpid()) + " NALO_FORECASTD_OPTIONS='--offline " + tree->program_folder()
        + "/forecast-samples' ";
    auto first = run_command(env + "NALO_SCRIPT='" + add + "' '" + tree->bin("nalo-weather") + "' 2>&1");
    ASSERT_EQ(first.exit_code, 0) << first.output;
    EXPECT_NE(first.output.find("nalo-weather: making " + user), std::string::npos) << first.output;
    std::vector<std::string> added = city_codes(read_text(user + "/settings.xml"));
    ASSERT_EQ(added.size(), 1u) << "the scripted run added no city (see " << folder << "/added.png): "
                                << read_text(user + "/settings.xml");
    EXPECT_NE(first.output.find("nalo-weather: started forecastd on " + server), std::string::npos) << first.output;
    std::string feed = read_text(user + "/downloads/_" + added[0] + ".xml");
    EXPECT_NE(feed.find("city_code=\"" + added[0] + "\""), std::string::npos)
        << "no forecast reached the page (see " << folder << "/page.png): " << feed;
    EXPECT_NE(feed.find("<Weather date="), std::string::npos) << feed;

    // An upgrade of the installed folder: a new version with a new file.
    write_bytes(tree->program_folder() + "/version", "99.0.0\n");
    write_bytes(tree->program_folder() + "/licenses/Upgrade.txt", "new in 99.0.0");
    // The second run publishes its first city when it ends, as it found it on start.
    ASSERT_EQ(run_command(reg("delete " + weather_key + " Top")).exit_code, 0);

    std::string look = folder + "/look.txt";
    write_bytes(look, "wait 1\nshot " + folder + "/found.png\nquit\n");
    auto second = run_command(env + "NALO_SCRIPT='" + look + "' '" + tree->bin("nalo-weather") + "' 2>&1");
    ASSERT_EQ(second.exit_code, 0) << second.output;
    EXPECT_NE(second.output.find("nalo-weather: updating " + user + " to version 99.0.0"), std::string::npos)
        << second.output;
    EXPECT_EQ(read_text(user + "/licenses/Upgrade.txt"), "new in 99.0.0");
    EXPECT_EQ(read_text(user + "/version"), "99.0.0\n");
    EXPECT_EQ(city_codes(read_text(user + "/settings.xml")), added);
    auto top = run_command(reg("get " + weather_key + " Top"));
    EXPECT_EQ(top.exit_code, 0) << top.output;
    EXPECT_EQ(top.output, added[0] + "\n");
    EXPECT_TRUE(fs::is_regular_file(folder + "/found.png"));
}
