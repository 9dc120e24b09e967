// What `cmake --install` puts below the prefix, as a packager and a desktop see it.
#include "InstallTree.h"

#include "runtime/Version.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace packaging_test;
using test_support::run_command;

namespace {

bool is_executable(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IXOTH);
}

bool is_elf(const std::string& path)
{
    return read_text(path).rfind("\x7f" "ELF", 0) == 0;
}

// The width and height of a PNG from its IHDR chunk; 0 0 when it is not a PNG.
std::pair<int, int> png_size(const std::string& path)
{
    std::string bytes = read_text(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return { 0, 0 };
    auto number = [&](size_t at) {
        return int(uint8_t(bytes[at])) << 24 | int(uint8_t(bytes[at + 1])) << 16 | int(uint8_t(bytes[at + 2])) << 8
            | int(uint8_t(bytes[at + 3]));
    };
    return { number(16), number(20) };
}

class InstalledTree : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        tree = InstallTree::install(test_support::scratch_folder("install-tree"), "/usr", error);
        ASSERT_TRUE(tree) << error;
    }
    static std::optional<InstallTree> tree;
};

std::optional<InstallTree> InstalledTree::tree;

// The commands a user can run: the programs of the program folder and the tools.
const std::vector<std::string> tools = { "nalo-weather", "nalo-install", "nalo-reg", "skinc", "nalo-weather-today" };
std::vector<std::string> programs()
{
    std::vector<std::string> names = { "Ombrelo", "forecastd" };
#ifdef NALO_HAS_WEATHER
    names.push_back("Weather");
#endif
    return names;
}

} // namespace

TEST_F(InstalledTree, ProgramFolderHoldsWhatTheBuildAssembledAndNoRunTimeState)
{
    ASSERT_TRUE(tree);
    std::string folder = tree->program_folder();
    for (const auto& name : programs())
        EXPECT_TRUE(is_executable(folder + "/" + name)) << name;
    for (const char* file : { "setup.so", "codes.dat", "german.codes.dat", "russian.codes.dat", "places.tsv",
                              "english.lng", "german.lng", "russian.lng",
                              "skins/bin/default.skin", "skins/bin/night.skin", "skins/bin/splash.skin",
                              "forecast-samples/02950159.json", "licenses/GeoNames.txt", "licenses/Open-Meteo.txt",
                              "licenses/Meteocons.txt", "forecastd.service" })
        EXPECT_TRUE(fs::is_regular_file(folder + "/" + file)) << file;
    EXPECT_EQ(read_text(folder + "/version"), std::string(runtime::project_version()) + "\n");

    // Every file the build put into its program folder is installed, the data byte for
    // byte; the run-time state of runs in the build tree stays behind.
    std::string built = NALO_PROGRAM_DIR;
    int compared = 0;
    for (auto it = fs::recursive_directory_iterator(built); it != fs::recursive_directory_iterator(); ++it) {
        std::string relative = fs::relative(it->path(), built).string();
        if (relative == "downloads" || relative == "settings.xml" || relative == ".nalo-installed") {
            it.disable_recursion_pending();
            continue;
        }
        std::string installed = folder + "/" + relative;
        if (it->is_directory()) {
            EXPECT_TRUE(fs::is_directory(installed)) << relative;
            continue;
        }
        ASSERT_TRUE(fs::is_regular_file(installed)) << relative << " was not installed";
        if (!is_elf(it->path()) && relative != "forecastd.service") {
            EXPECT_EQ(read_text(installed), read_text(it->path())) << relative;
            ++compared;
        }
    }
    EXPECT_GT(compared, 50);
    EXPECT_FALSE(fs::exists(folder + "/downloads"));
    EXPECT_FALSE(fs::exists(folder + "/settings.xml"));
    EXPECT_FALSE(fs::exists(folder + "/.nalo-installed"));
}

TEST_F(InstalledTree, ToolsAndLauncherInBinWithoutPathsIntoTheBuildTree)
{
    ASSERT_TRUE(tree);
    for (const auto& name : tools)
        EXPECT_TRUE(is_executable(tree->bin(name))) << name;
    // Build-only tools stay in the build.
    EXPECT_FALSE(fs::exists(tree->bin("make-citydb")));
    std::set<std::string> in_bin;
    for (const auto& entry : fs::directory_iterator(tree->at("bin")))
        in_bin.insert(entry.path().filename().string());
    EXPECT_EQ(in_bin, std::set<std::string>(tools.begin(), tools.end()));

    std::vector<std::string> binaries = { tree->program_folder() + "/setup.so" };
    for (const auto& name : tools)
        if (name != "nalo-weather")
            binaries.push_back(tree->bin(name));
    for (const auto& name : programs())
        binaries.push_back(tree->program_folder() + "/" + name);
    for (const auto& file : binaries) {
        auto dynamic = run_command("readelf -d " + shell_quoted(file) + " 2>&1");
        ASSERT_EQ(dynamic.exit_code, 0) << file << ": " << dynamic.output;
        EXPECT_EQ(dynamic.output.find("RPATH"), std::string::npos) << file << ": " << dynamic.output;
        EXPECT_EQ(dynamic.output.find("RUNPATH"), std::string::npos) << file << ": " << dynamic.output;
    }
    // The installed tools run from there and know their version.
    auto shown = run_command(tree->bin("nalo-reg") + " --version");
    EXPECT_EQ(shown.output, "nalo-reg " + std::string(runtime::project_version()) + "\n");
    auto launcher = run_command(tree->bin("nalo-weather") + " --version");
    EXPECT_EQ(launcher.exit_code, 0);
    EXPECT_EQ(launcher.output, "nalo-weather " + std::string(runtime::project_version()) + "\n");

    for (const char* doc : { "LICENSE", "README.md", "CHANGELOG.md", "skinc/README.md", "skinc/first.png" })
        EXPECT_TRUE(fs::is_regular_file(tree->at(std::string("share/doc/nalo-weather/") + doc))) << doc;
}

TEST_F(InstalledTree, DesktopEntryValidatesAndNamesTheLauncherAndTheIcon)
{
    ASSERT_TRUE(tree);
    std::string entry = tree->at("share/applications/nalo-weather.desktop");
    ASSERT_TRUE(fs::is_regular_file(entry));
    if (!has_command("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate is not installed (Debian desktop-file-utils)";
    auto validated = run_command("desktop-file-validate " + shell_quoted(entry) + " 2>&1");
    EXPECT_EQ(validated.exit_code, 0) << validated.output;
    EXPECT_EQ(validated.output, "") << "warnings or hints: " << validated.output;

    std::string text = read_text(entry);
    std::smatch exec, icon;
    ASSERT_TRUE(std::regex_search(text, exec, std::regex("\nExec=([^ \n]+)")));
    EXPECT_TRUE(is_executable(tree->bin(exec[1]))) << exec[1];
    ASSERT_TRUE(std::regex_search(text, icon, std::regex("\nIcon=([^\n]+)")));
    for (int size : { 16, 24, 32, 48, 64, 128, 256 }) {
        std::string dims = std::to_string(size) + "x" + std::to_string(size);
        std::string png = tree->at("share/icons/hicolor/" + dims + "/apps/" + icon[1].str() + ".png");
        EXPECT_EQ(png_size(png), std::make_pair(size, size)) << png;
    }
    // SDL names the window's class after the program.
    EXPECT_NE(text.find("\nStartupWMClass=Weather\n"), std::string::npos) << text;
    std::string svg = read_text(tree->at("share/icons/hicolor/scalable/apps/" + icon[1].str() + ".svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("viewBox=\"0 0 64 64\""), std::string::npos);
}

TEST_F(InstalledTree, MetainfoValidatesAndNamesTheDesktopEntryAndTheVersion)
{
    ASSERT_TRUE(tree);
    std::string file = tree->at("share/metainfo/io.github.nalo_weather.Weather.metainfo.xml");
    std::string text = read_text(file);
    EXPECT_NE(text.find("<launchable type=\"desktop-id\">nalo-weather.desktop</launchable>"), std::string::npos);
    EXPECT_NE(text.find("<release version=\"" + std::string(runtime::project_version()) + "\" date=\"20"),
        std::string::npos) << text;
    if (!has_command("appstreamcli"))
        GTEST_SKIP() << "appstreamcli is not installed (Debian appstream)";
    auto validated = run_command("appstreamcli validate --no-net " + shell_quoted(file) + " 2>&1");
    EXPECT_EQ(validated.exit_code, 0) << validated.output;
    EXPECT_NE(validated.output.find("Validation was successful"), std::string::npos) << validated.output;
}

namespace {

// A man page as man shows it at 80 columns; its warnings in `warnings`.
std::string shown_page(const std::string& page, std::string& warnings)
{
    warnings = run_command("MANWIDTH=80 man --warnings -l " + shell_quoted(page) + " 2>&1 >/dev/null").output;
    auto shown = run_command("MANWIDTH=80 man -l " + shell_quoted(page) + " 2>/dev/null");
    return shown.exit_code == 0 ? shown.output : std::string();
}

// The page names the command, has the usual sections and describes every option the
// command's own --help lists.
void expect_complete_page(const std::string& name, const std::string& shown, const std::string& command)
{
    EXPECT_NE(shown.find("NAME\n       " + name + " - "), std::string::npos) << shown;
    for (const char* section : { "SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "SEE ALSO" })
        EXPECT_NE(shown.find(std::string("\n") + section + "\n"), std::string::npos) << name << " " << section;
    auto help = run_command(shell_quoted(command) + " --help 2>/dev/null");
    ASSERT_EQ(help.exit_code, 0) << name;
    std::regex option("--[a-z][a-z-]*");
    int options = 0;
    for (auto it = std::sregex_iterator(help.output.begin(), help.output.end(), option); it != std::sregex_iterator();
         ++it, ++options)
        EXPECT_NE(shown.find(it->str()), std::string::npos) << name << "(1) lacks " << it->str();
    EXPECT_GE(options, 2) << name << " --help lists no options: " << help.output;
}

} // namespace

TEST_F(InstalledTree, EveryCommandHasAManPageThatRendersAndNamesItsOptions)
{
    ASSERT_TRUE(tree);
#ifndef NALO_HAS_MAN_PAGES
    GTEST_SKIP() << "scdoc was not installed when the build was configured: no man pages (Debian scdoc)";
#endif
    if (!has_command("man"))
        GTEST_SKIP() << "man is not installed (Debian man-db)";
    std::vector<std::pair<std::string, std::string>> commands;
    for (const auto& name : tools)
        commands.emplace_back(name, tree->bin(name));
    for (const auto& name : programs())
        commands.emplace_back(name, tree->program_folder() + "/" + name);
    std::set<std::string> installed;
    for (const auto& entry : fs::directory_iterator(tree->at("share/man/man1")))
        installed.insert(entry.path().filename().string());
    std::set<std::string> expected;
    for (const auto& [name, path] : commands) {
        expected.insert(name + ".1");
        std::string page = tree->at("share/man/man1/" + name + ".1");
        ASSERT_TRUE(fs::is_regular_file(page)) << name;
        std::string warnings;
        std::string shown = shown_page(page, warnings);
        EXPECT_EQ(warnings, "") << name;
        ASSERT_NE(shown, "") << name << "(1) does not render";
        expect_complete_page(name, shown, path);
    }
    EXPECT_EQ(installed, expected) << "a man page for every installed command, and no other";

    // The build-only tool's page is written in the build, not installed.
    std::string warnings;
    std::string shown = shown_page(std::string(NALO_BUILD_DIR) + "/man/make-citydb.1", warnings);
    EXPECT_EQ(warnings, "");
    ASSERT_NE(shown, "") << "make-citydb(1) does not render";
    expect_complete_page("make-citydb", shown, std::string(NALO_TOOLS_DIR) + "/make-citydb");
}

TEST_F(InstalledTree, UserUnitsStartTheInstalledForecastdOnTheSocketEnabledForEveryone)
{
    ASSERT_TRUE(tree);
    std::string unit = read_text(tree->at("lib/systemd/user/forecastd.service"));
    EXPECT_NE(unit.find("\nExecStart=/usr/lib/nalo-weather/forecastd --listen 127.0.0.1:8642\n"), std::string::npos)
        << unit;
    EXPECT_NE(unit.find("\nRequires=forecastd.socket\n"), std::string::npos) << unit;
    EXPECT_EQ(unit.find("%h"), std::string::npos) << "still names the per-user copy: " << unit;
    EXPECT_EQ(read_text(tree->program_folder() + "/forecastd.service"), unit);
    std::string socket = read_text(tree->at("lib/systemd/user/forecastd.socket"));
    EXPECT_NE(socket.find("\nListenStream=127.0.0.1:8642\n"), std::string::npos) << socket;
    EXPECT_NE(socket.find("[Install]\nWantedBy=sockets.target"), std::string::npos) << socket;
    // Enabled for every user by the link a user manager reads at login.
    std::string wants = tree->at("lib/systemd/user/sockets.target.wants/forecastd.socket");
    EXPECT_TRUE(fs::is_symlink(wants));
    EXPECT_EQ(fs::read_symlink(wants), "../forecastd.socket");

    // systemd accepts it, with the path inside DESTDIR where the program lies now.
    if (!has_command("systemd-analyze"))
        GTEST_SKIP() << "systemd-analyze is not installed (Debian systemd): the unit is not verified";
    std::string staged = tree->destdir() + "/forecastd.service";
    std::string text = std::regex_replace(unit, std::regex("ExecStart=/usr"), "ExecStart=" + tree->destdir() + "/usr");
    test_support::write_bytes(staged, text);
    test_support::write_bytes(tree->destdir() + "/forecastd.socket", socket);
    auto verified = run_command("systemd-analyze verify --user --man=no " + shell_quoted(staged) + " "
        + shell_quoted(tree->destdir() + "/forecastd.socket") + " 2>&1");
    EXPECT_EQ(verified.exit_code, 0) << verified.output;
    EXPECT_EQ(verified.output, "");
}

TEST_F(InstalledTree, TheRefreshTimerRunsTheInstalledCommandAndIsEnabledForEveryone)
{
    ASSERT_TRUE(tree);
    std::string service = read_text(tree->at("lib/systemd/user/nalo-weather-refresh.service"));
    EXPECT_NE(service.find("\nExecStart=/usr/bin/nalo-weather-today --refresh\n"), std::string::npos) << service;
    EXPECT_NE(service.find("\nType=oneshot\n"), std::string::npos) << service;
    std::string timer = read_text(tree->at("lib/systemd/user/nalo-weather-refresh.timer"));
    EXPECT_NE(timer.find("\nOnUnitActiveSec=15min\n"), std::string::npos) << timer;
    EXPECT_NE(timer.find("[Install]\nWantedBy=timers.target"), std::string::npos) << timer;
    std::string wants = tree->at("lib/systemd/user/timers.target.wants/nalo-weather-refresh.timer");
    EXPECT_TRUE(fs::is_symlink(wants));
    EXPECT_EQ(fs::read_symlink(wants), "../nalo-weather-refresh.timer");
    EXPECT_TRUE(fs::is_regular_file(tree->bin("nalo-weather-today")));

    if (!has_command("systemd-analyze"))
        GTEST_SKIP() << "systemd-analyze is not installed (Debian systemd): the units are not verified";
    std::string units = tree->destdir() + "/refresh-units";
    fs::create_directories(units);
    auto stage = [&](const std::string& name) {
        std::string text = read_text(tree->at("lib/systemd/user/" + name));
        text = std::regex_replace(text, std::regex("ExecStart=/usr"), "ExecStart=" + tree->destdir() + "/usr");
        test_support::write_bytes(units + "/" + name, text);
        return shell_quoted(units + "/" + name);
    };
    std::string files = stage("nalo-weather-refresh.timer") + " " + stage("nalo-weather-refresh.service") + " "
        + stage("forecastd.socket") + " " + stage("forecastd.service");
    auto verified = run_command("systemd-analyze verify --user --man=no " + files + " 2>&1");
    EXPECT_EQ(verified.exit_code, 0) << verified.output;
    EXPECT_EQ(verified.output, "");
}

TEST(InstallPrefix, AnotherPrefixReachesTheUnitAndTheLauncher)
{
    std::string error;
    auto tree = InstallTree::install(test_support::scratch_folder("install-prefix"), "/opt/nalo 100%", error);
    ASSERT_TRUE(tree) << error;
    std::string unit = read_text(tree->at("lib/systemd/user/forecastd.service"));
    // systemd reads "%" as a specifier and splits at spaces: quoted, "%" doubled.
    EXPECT_NE(unit.find("\nExecStart=\"/opt/nalo 100%%/lib/nalo-weather/forecastd\" --listen"), std::string::npos)
        << unit;
    std::string refresh = read_text(tree->at("lib/systemd/user/nalo-weather-refresh.service"));
    EXPECT_NE(refresh.find("\nExecStart=\"/opt/nalo 100%%/bin/nalo-weather-today\" --refresh\n"), std::string::npos)
        << refresh;
    EXPECT_TRUE(fs::is_regular_file(tree->program_folder() + "/codes.dat"));
    auto version = run_command(shell_quoted(tree->bin("nalo-weather")) + " --version");
    EXPECT_EQ(version.exit_code, 0);
}
