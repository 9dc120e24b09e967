// nalo-install over an earlier installation: files replaced under a running program,
// files the new program folder lacks removed, the run-time state and the user's files
// kept, and a list of installed files that cannot lead outside the folder.
#include "support/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;
using test_support::run_command;
using test_support::write_bytes;

namespace {

std::string tool(const std::string& name) { return std::string(NALO_TOOLS_DIR) + "/" + name; }

std::string read_text(const std::string& path)
{
    auto bytes = test_support::read_bytes(path);
    return std::string(bytes.begin(), bytes.end());
}

test_support::CommandResult install(const std::string& from, const std::string& to)
{
    return run_command(tool("nalo-install") + " '" + from + "' '" + to + "' 2>&1");
}

// A program folder of our own to change between installs: setup.so and a few files.
std::string program_folder(const std::string& base)
{
    std::string folder = base + "/program";
    fs::create_directories(folder + "/extra");
    fs::copy_file(std::string(NALO_PROGRAM_DIR) + "/setup.so", folder + "/setup.so");
    write_bytes(folder + "/version", "1\n");
    write_bytes(folder + "/old.txt", "old");
    write_bytes(folder + "/extra/a.txt", "a");
    return folder;
}

} // namespace

TEST(InstallerUpgrade, ReplacesAProgramWhileItRuns)
{
    std::string base = test_support::scratch_folder("upgrade-busy");
    std::string from = program_folder(base), to = base + "/Weather";
    fs::copy_file("/bin/sleep", from + "/busy");
    ASSERT_EQ(install(from, to).exit_code, 0);
    auto started = run_command("'" + to + "/busy' 30 >/dev/null 2>&1 & echo $!");
    int pid = std::atoi(started.output.c_str());
    ASSERT_GT(pid, 0);
    // Give it the moment to exec the installed file, which the kernel then keeps busy.
    for (int i = 0; i < 100 && read_text("/proc/" + std::to_string(pid) + "/cmdline").find("busy") == std::string::npos; ++i)
        usleep(10000);

    fs::copy_file("/bin/true", from + "/busy", fs::copy_options::overwrite_existing);
    auto upgraded = install(from, to);
    run_command("kill " + std::to_string(pid));
    EXPECT_EQ(upgraded.exit_code, 0) << upgraded.output;
    EXPECT_NE(upgraded.output.find("updated"), std::string::npos) << upgraded.output;
    EXPECT_EQ(read_text(to + "/busy"), read_text("/bin/true"));
    EXPECT_EQ(run_command("'" + to + "/busy'").exit_code, 0);
    // No temporary copies are left behind.
    for (const auto& entry : fs::directory_iterator(to))
        EXPECT_EQ(entry.path().filename().string().find(".nalo-new"), std::string::npos) << entry.path();
}

TEST(InstallerUpgrade, RemovesWhatTheNewVersionLacksAndKeepsTheRest)
{
    std::string base = test_support::scratch_folder("upgrade-stale");
    std::string from = program_folder(base), to = base + "/Weather";
    auto first = install(from, to);
    ASSERT_EQ(first.exit_code, 0) << first.output;
    EXPECT_NE(first.output.find("installed"), std::string::npos);
    EXPECT_EQ(read_text(to + "/version"), "1\n");
    write_bytes(to + "/settings.xml", "<Settings/>");
    write_bytes(to + "/downloads/_02950159.xml", "<Main/>");
    write_bytes(to + "/extra/mine.txt", "mine");

    fs::remove(from + "/old.txt");
    fs::remove(from + "/extra/a.txt");
    fs::create_directories(from + "/gone-later");
    write_bytes(from + "/gone-later/b.txt", "b");
    write_bytes(from + "/version", "2\n");
    auto second = install(from, to);
    ASSERT_EQ(second.exit_code, 0) << second.output;
    EXPECT_FALSE(fs::exists(to + "/old.txt"));
    EXPECT_FALSE(fs::exists(to + "/extra/a.txt"));
    EXPECT_EQ(read_text(to + "/extra/mine.txt"), "mine") << "a folder holding the user's file stays";
    EXPECT_EQ(read_text(to + "/gone-later/b.txt"), "b");
    EXPECT_EQ(read_text(to + "/settings.xml"), "<Settings/>");
    EXPECT_EQ(read_text(to + "/downloads/_02950159.xml"), "<Main/>");
    EXPECT_EQ(read_text(to + "/version"), "2\n");
    std::string manifest = read_text(to + "/.nalo-installed");
    EXPECT_EQ(manifest.find("old.txt"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("version\n"), std::string::npos) << manifest;

    // A whole folder the next version drops goes with its files.
    fs::remove_all(from + "/gone-later");
    ASSERT_EQ(install(from, to).exit_code, 0);
    EXPECT_FALSE(fs::exists(to + "/gone-later"));

    // Removal after upgrades: only what the last version installed, and the state.
    ASSERT_EQ(run_command(tool("nalo-install") + " --uninstall '" + to + "'").exit_code, 0);
    EXPECT_EQ(read_text(to + "/extra/mine.txt"), "mine");
    EXPECT_FALSE(fs::exists(to + "/setup.so"));
    EXPECT_FALSE(fs::exists(to + "/version"));
    EXPECT_FALSE(fs::exists(to + "/settings.xml"));
}

TEST(InstallerUpgrade, TheListOfInstalledFilesCannotReachOutside)
{
    std::string base = test_support::scratch_folder("upgrade-outside");
    std::string from = program_folder(base), to = base + "/Weather";
    ASSERT_EQ(install(from, to).exit_code, 0);
    write_bytes(base + "/outside.txt", "keep");
    write_bytes(to + "/settings.xml", "<Settings/>");
    {
        std::ofstream manifest(to + "/.nalo-installed", std::ios::app);
        manifest << "../outside.txt\n" << base << "/outside.txt\nextra/../../outside.txt\nsettings.xml\n";
    }
    ASSERT_EQ(install(from, to).exit_code, 0);
    EXPECT_EQ(read_text(base + "/outside.txt"), "keep");
    EXPECT_EQ(read_text(to + "/settings.xml"), "<Settings/>");
    {
        std::ofstream manifest(to + "/.nalo-installed", std::ios::app);
        manifest << "../outside.txt\n" << base << "/outside.txt\n";
    }
    ASSERT_EQ(run_command(tool("nalo-install") + " --uninstall '" + to + "'").exit_code, 0);
    EXPECT_EQ(read_text(base + "/outside.txt"), "keep");
    EXPECT_FALSE(fs::exists(to));
}

TEST(InstallerUpgrade, RefusesAnInstallFolderInsideTheProgramFolder)
{
    std::string base = test_support::scratch_folder("upgrade-inside");
    std::string from = program_folder(base);
    for (const std::string& to : { from, from + "/sub", from + "/extra/../sub2" }) {
        auto refused = install(from, to);
        EXPECT_EQ(refused.exit_code, 2) << to;
        EXPECT_NE(refused.output.find("is inside the program folder"), std::string::npos) << refused.output;
    }
    EXPECT_FALSE(fs::exists(from + "/sub"));
    EXPECT_FALSE(fs::exists(from + "/sub2"));
    EXPECT_FALSE(fs::exists(from + "/.nalo-installed"));
}
