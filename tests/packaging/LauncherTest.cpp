// The installed launcher nalo-weather with a stand-in for Weather: the per-user program
// folder made, kept across starts and brought up to date after an upgrade of the
// installed folder, with the installer hooks run and the user's state kept.
#include "InstallTree.h"

#include "runtime/Version.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace packaging_test;
using test_support::run_command;
using test_support::write_bytes;

namespace {

// Records where it runs and its arguments, adds $STANDIN_CITY to settings.xml beside
// itself as the real program keeps its city list, and ends with $STANDIN_EXIT.
const char* const stand_in = R"sh(#!/bin/sh
here=$(cd "$(dirname "$0")" && pwd)
{ printf '%s %s\n' "$STANDIN_NAME" "$here"; for a; do printf '[%s]\n' "$a"; done; } >>"$STANDIN_LOG"
[ -z "${STANDIN_CITY-}" ] || printf '%s\n' "$STANDIN_CITY" >>"$here/settings.xml"
exit "${STANDIN_EXIT:-0}"
)sh";

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = test_support::scratch_folder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::string error;
        tree = InstallTree::install(folder, "/usr", error);
        ASSERT_TRUE(tree) << error;
        installed = tree->program_folder();
        put_stand_in("v1");
        data = folder + "/data";
        user = data + "/nalo/Weather";
        log = folder + "/runs.txt";
        // A forecast service elsewhere: the launcher leaves forecastd alone (its own test).
        ASSERT_EQ(run_command(std::string(NALO_TOOLS_DIR)
                      + "/nalo-reg set 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' Server --string forecasts.invalid")
                      .exit_code,
            0);
    }

    void put_stand_in(const std::string& name)
    {
        std::string text = stand_in;
        text.replace(text.find("$STANDIN_NAME"), 13, name);
        write_bytes(installed + "/Weather", text);
        fs::permissions(installed + "/Weather", fs::perms(0755));
    }

    // A new installed version: another version text, a changed, a removed and a new file,
    // another program.
    void upgrade(const std::string& version)
    {
        write_bytes(installed + "/version", version + "\n");
        write_bytes(installed + "/english.lng", "changed in " + version);
        fs::remove(installed + "/german.lng");
        write_bytes(installed + "/skins/bin/extra-" + version + ".skin", "new in " + version);
        put_stand_in(version);
    }

    // Runs the launcher with the environment given; standard output and error together.
    test_support::CommandResult launch(const std::string& arguments, const std::string& environment = "")
    {
        std::string env = "env XDG_DATA_HOME=" + shell_quoted(data) + " STANDIN_LOG=" + shell_quoted(log) + " " + environment;
        return run_command(env + " " + shell_quoted(tree->bin("nalo-weather")) + " " + arguments + " 2>&1");
    }

    std::string runs() const { return read_text(log); }

    std::string folder, installed, data, user, log;
    std::optional<InstallTree> tree;
};

} // namespace

TEST_F(Launcher, FirstStartMakesTheFolderWithTheHooksAndStartsWeatherThere)
{
    auto first = launch("'two words' -x", "STANDIN_EXIT=7");
    EXPECT_EQ(first.exit_code, 7) << first.output;
    EXPECT_EQ(first.output, "nalo-weather: making " + user + " (version " + std::string(runtime::project_version()) + ")\n");
    EXPECT_EQ(runs(), "v1 " + user + "\n[two words]\n[-x]\n");
    // nalo-install copied the folder and ran the hook that makes downloads/.
    EXPECT_TRUE(fs::is_directory(user + "/downloads"));
    EXPECT_TRUE(fs::is_regular_file(user + "/.nalo-installed"));
    EXPECT_EQ(read_text(user + "/version"), read_text(installed + "/version"));
    EXPECT_EQ(read_text(user + "/codes.dat"), read_text(installed + "/codes.dat"));
    EXPECT_TRUE(fs::is_regular_file(user + "/skins/bin/default.skin"));

    // The same version again: nothing copied, nothing said, the user's edits stay.
    write_bytes(user + "/english.lng", "edited by the user");
    fs::remove(log);
    auto second = launch("");
    EXPECT_EQ(second.exit_code, 0);
    EXPECT_EQ(second.output, "");
    EXPECT_EQ(runs(), "v1 " + user + "\n");
    EXPECT_EQ(read_text(user + "/english.lng"), "edited by the user");
}

TEST_F(Launcher, AnUpgradeOfTheInstalledFolderUpdatesTheUserFolderAndKeepsItsState)
{
    ASSERT_EQ(launch("", "STANDIN_CITY=02950159").exit_code, 0);
    write_bytes(user + "/downloads/_02950159.xml", "<forecast/>");
    write_bytes(user + "/downloads/notes.txt", "mine");
    write_bytes(user + "/my-own-file.txt", "mine");
    ASSERT_TRUE(fs::exists(user + "/german.lng"));

    upgrade("9.9.9");
    fs::remove(log);
    auto updated = launch("", "STANDIN_CITY=03448439");
    EXPECT_EQ(updated.exit_code, 0) << updated.output;
    EXPECT_EQ(updated.output, "nalo-weather: updating " + user + " to version 9.9.9\n");
    EXPECT_EQ(runs(), "9.9.9 " + user + "\n");
    EXPECT_EQ(read_text(user + "/version"), "9.9.9\n");
    EXPECT_EQ(read_text(user + "/english.lng"), "changed in 9.9.9");
    EXPECT_TRUE(fs::exists(user + "/skins/bin/extra-9.9.9.skin"));
    EXPECT_FALSE(fs::exists(user + "/german.lng")) << "a file the new version lacks stays";
    // The user's cities, forecasts and own files stay.
    EXPECT_EQ(read_text(user + "/settings.xml"), "02950159\n03448439\n");
    EXPECT_EQ(read_text(user + "/downloads/_02950159.xml"), "<forecast/>");
    EXPECT_EQ(read_text(user + "/downloads/notes.txt"), "mine");
    EXPECT_EQ(read_text(user + "/my-own-file.txt"), "mine");

    // Back to an older version: brought in line again, files of the newer one removed.
    fs::remove(installed + "/skins/bin/extra-9.9.9.skin");
    upgrade("1.0.0");
    auto back = launch("");
    EXPECT_EQ(back.exit_code, 0) << back.output;
    EXPECT_EQ(read_text(user + "/version"), "1.0.0\n");
    EXPECT_FALSE(fs::exists(user + "/skins/bin/extra-9.9.9.skin"));
    EXPECT_TRUE(fs::exists(user + "/skins/bin/extra-1.0.0.skin"));
    EXPECT_EQ(read_text(user + "/settings.xml"), "02950159\n03448439\n");
}

TEST_F(Launcher, AFolderLeftHalfDoneIsUpdatedAgain)
{
    ASSERT_EQ(launch("").exit_code, 0);
    // An update that stopped before its end leaves the old version text or none.
    fs::remove(user + "/version");
    fs::remove(user + "/codes.dat");
    auto again = launch("");
    EXPECT_EQ(again.exit_code, 0) << again.output;
    EXPECT_NE(again.output.find("updating"), std::string::npos) << again.output;
    EXPECT_TRUE(fs::exists(user + "/codes.dat"));
    // No record of an installation at all: made afresh.
    fs::remove(user + "/.nalo-installed");
    EXPECT_NE(launch("").output.find("making"), std::string::npos);
}

TEST_F(Launcher, WhereTheUserFolderIs)
{
    std::string home = folder + "/home";
    fs::create_directories(home);
    std::string expected = home + "/.local/share/nalo/Weather";
    // XDG_DATA_HOME unset, empty or relative: the default below HOME.
    for (const char* value : { "-u XDG_DATA_HOME", "XDG_DATA_HOME=", "XDG_DATA_HOME=relative/data" }) {
        fs::remove_all(home + "/.local");
        fs::remove(log);
        auto run = run_command("env " + std::string(value) + " STANDIN_LOG=" + shell_quoted(log) + " HOME=" + shell_quoted(home)
            + " " + shell_quoted(tree->bin("nalo-weather")) + " 2>&1");
        EXPECT_EQ(run.exit_code, 0) << value << ": " << run.output;
        EXPECT_EQ(runs(), "v1 " + expected + "\n") << value;
    }
    EXPECT_FALSE(fs::exists(folder + "/relative"));
    auto homeless = run_command("env -u XDG_DATA_HOME -u HOME " + shell_quoted(tree->bin("nalo-weather")) + " 2>&1");
    EXPECT_EQ(homeless.exit_code, 1);
    EXPECT_NE(homeless.output.find("neither XDG_DATA_HOME nor HOME"), std::string::npos) << homeless.output;
}

TEST_F(Launcher, FoundThroughALinkAndThePath)
{
    std::string links = folder + "/links";
    fs::create_directories(links);
    fs::create_symlink(tree->bin("nalo-weather"), links + "/weather");
    auto linked = run_command("env XDG_DATA_HOME=" + shell_quoted(data) + " STANDIN_LOG=" + shell_quoted(log) + " "
        + shell_quoted(links + "/weather") + " 2>&1");
    EXPECT_EQ(linked.exit_code, 0) << linked.output;
    auto by_path = run_command("cd / && env XDG_DATA_HOME=" + shell_quoted(data) + " STANDIN_LOG=" + shell_quoted(log)
        + " PATH=" + shell_quoted(links) + ":/usr/bin:/bin weather 2>&1");
    EXPECT_EQ(by_path.exit_code, 0) << by_path.output;
    EXPECT_EQ(runs(), "v1 " + user + "\nv1 " + user + "\n");
}

TEST_F(Launcher, HelpVersionAndFailuresThatStopBeforeWeather)
{
    auto help = run_command(shell_quoted(tree->bin("nalo-weather")) + " --help 2>/dev/null");
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_EQ(help.output.rfind("usage: nalo-weather", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("--version"), std::string::npos);
    EXPECT_FALSE(fs::exists(user)) << "--help made the folder";

    // The user's folder cannot be made: a file stands where a folder should be.
    write_bytes(folder + "/blocked", "");
    auto blocked = run_command("env XDG_DATA_HOME=" + shell_quoted(folder + "/blocked") + " STANDIN_LOG=" + shell_quoted(log) + " "
        + shell_quoted(tree->bin("nalo-weather")) + " 2>&1");
    EXPECT_EQ(blocked.exit_code, 1);
    EXPECT_NE(blocked.output.find("nalo-weather: cannot bring " + folder + "/blocked/nalo/Weather up to date"),
              std::string::npos)
        << blocked.output;

    // No installed program folder beside the launcher.
    fs::rename(installed, installed + ".away");
    auto missing = launch("");
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.output.find("no installed program folder in "), std::string::npos) << missing.output;
    EXPECT_FALSE(fs::exists(log)) << "Weather was started: " << runs();
}

TEST_F(Launcher, LaunchersStartedTogetherUpdateOnce)
{
    std::string script = folder + "/together.sh";
    write_bytes(script, "for i in 1 2 3; do \"$1\" 2>>\"$2\" & done; wait\n");
    auto together = run_command("env XDG_DATA_HOME=" + shell_quoted(data) + " STANDIN_LOG=" + shell_quoted(log)
        + " XDG_RUNTIME_DIR=" + shell_quoted(folder) + " sh " + shell_quoted(script) + " " + shell_quoted(tree->bin("nalo-weather"))
        + " " + shell_quoted(folder + "/said.txt"));
    EXPECT_EQ(together.exit_code, 0);
    EXPECT_EQ(read_text(folder + "/said.txt"), "nalo-weather: making " + user + " (version "
        + std::string(runtime::project_version()) + ")\n");
    EXPECT_EQ(runs(), "v1 " + user + "\nv1 " + user + "\nv1 " + user + "\n");
    EXPECT_EQ(read_text(user + "/version"), read_text(installed + "/version"));
}
