#include "WeatherRun.h"

#include "AppTestSupport.h"

#include "app/Settings.h"

#include "platform/RequestQueue.h"
#include "runtime/Registry.h"
#include "skin/draw/FramePng.h"

#include "support/TestSupport.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace startup_test {

namespace fs = std::filesystem;

namespace {

std::string temp_folder()
{
    const char* temp = std::getenv("NALO_TEMP");
    return temp && *temp ? temp : "/tmp";
}

std::string installed_folder() { return temp_folder() + "/installed/Weather"; }

} // namespace

WeatherProcess::WeatherProcess(const std::string& program_folder, const std::string& script, const std::string& screen,
    const std::string& error_file)
    : m_error_file(error_file)
{
    setenv("NALO_HEADLESS", "1", 1);
    setenv("NALO_SCRIPT", script.c_str(), 1);
    setenv("NALO_SCREEN", screen.c_str(), 1);
    std::string program = program_folder + "/Weather";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, error_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char* argv[] = { program.data(), nullptr };
    if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    unsetenv("NALO_SCRIPT");
}

WeatherProcess::~WeatherProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

void WeatherProcess::kill_hard()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        m_killed = true;
    }
}

RunResult WeatherProcess::wait(int seconds)
{
    RunResult result;
    if (m_pid <= 0)
        return result;
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (true) {
        pid_t done = waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid)
            break;
        if (std::chrono::steady_clock::now() > limit) {
            ::kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
            ADD_FAILURE() << "Weather did not end within " << seconds << " s";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_pid = -1;
    result.killed = m_killed || WIFSIGNALED(status);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.error_output = app_test::read_text(m_error_file);
    return result;
}

void WeatherRun::SetUpTestSuite()
{
    fs::remove_all(temp_folder() + "/installed");
    fs::create_directories(temp_folder() + "/installed");
    auto installed = test_support::run_command(std::string(NALO_TOOLS_DIR) + "/nalo-install " + NALO_PROGRAM_DIR + " "
        + installed_folder() + " 2>&1");
    ASSERT_EQ(installed.exit_code, 0) << installed.output;
}

std::string WeatherRun::program_folder() { return installed_folder(); }

void WeatherRun::SetUp()
{
    fs::remove(settings_file());
    fs::remove_all(downloads());
    fs::create_directories(downloads());
    runtime::delete_key(weather::weather_key);
    runtime::delete_key(weather::sibling_key);
    runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 1u);
    // No forecast service unless a test starts one: a closed port on loopback.
    runtime::write_string(weather::weather_key, u"Server", u"127.0.0.1:9");
    fs::remove(temp_folder() + "/Weather.txt");
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    m_shots = temp_folder() + "/shots/" + name;
    fs::remove_all(m_shots);
    fs::create_directories(m_shots);
    // A request queue of the test's own, so that no other run's daemon reads it.
    setenv("NALO_QUEUE_SUFFIX", ("startup-" + std::to_string(getpid()) + "-" + name).c_str(), 1);
    set_sibling(true);
}

void WeatherRun::TearDown()
{
    // The queue outlives the programs: the test's own goes with the test.
    platform::RequestQueue::remove(u"NALO/Weather");
    unsetenv("NALO_QUEUE_SUFFIX");
    runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 0u);
}

std::string WeatherRun::shot_path(const std::string& name) const { return m_shots + "/" + name + ".png"; }

std::string WeatherRun::error_file() const { return m_shots + "/stderr.txt"; }

void WeatherRun::save_cities(const std::vector<std::pair<std::string, std::string>>& cities)
{
    std::string xml = "<Locations>";
    for (const auto& [name, code] : cities)
        xml += "<Item city=\"" + name + "\" city_code=\"" + code + "\"/>";
    test_support::write_bytes(settings_file(), xml + "</Locations>");
}

void WeatherRun::set_sibling(bool installed)
{
    if (installed)
        runtime::write_string(weather::sibling_key, u"InstallDir", u"/opt/nalo/Quillpane");
    else
        runtime::delete_key(weather::sibling_key);
}

void WeatherRun::fresh_cache(const std::string& code, int temperature, int condition, int days)
{
    test_support::write_bytes(downloads() + "/_" + code + ".xml",
        app_test::cache_xml(code, app_test::date_text_minutes_ago(1), temperature, condition, days));
}

WeatherProcess WeatherRun::start(const std::string& script, const std::string& screen)
{
    std::string path = m_shots + "/script.txt";
    test_support::write_bytes(path, script);
    return WeatherProcess(program_folder(), path, screen, error_file());
}

RunResult WeatherRun::run(const std::string& script, const std::string& screen, int seconds)
{
    WeatherProcess process = start(script, screen);
    RunResult result = process.wait(seconds);
    result.log = log_text();
    return result;
}

std::string WeatherRun::log_text() const
{
    std::string path = temp_folder() + "/Weather.txt";
    return test_support::file_exists(path) ? test_support::read_utf16_file(path) : std::string();
}

std::vector<std::string> lines_with(const std::string& log, const std::string& text)
{
    std::vector<std::string> found;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        if (line.find(text) != std::string::npos)
            found.push_back(line);
    return found;
}

std::string last_after(const std::string& log, const std::string& prefix)
{
    std::string last;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(prefix, 0) == 0)
            last = line.substr(prefix.size());
    return last;
}

std::vector<uint8_t> temperature_region(const std::string& shot)
{
    constexpr int left = 100, top = 36, right = 228, bottom = 88;
    skin::RgbImage image;
    if (!skin::read_png(shot, image) || image.width < right || image.height < bottom)
        return {};
    std::vector<uint8_t> region;
    for (int y = top; y < bottom; ++y) {
        size_t row = (size_t(y) * image.width + left) * 3;
        region.insert(region.end(), image.rgb.begin() + ptrdiff_t(row),
            image.rgb.begin() + ptrdiff_t(row + size_t(right - left) * 3));
    }
    return region;
}

} // namespace startup_test
