// Runs the program Weather as a user would: an installed program folder of its own, the
// shipped skins and languages, headless and driven by a script (NALO_SCRIPT), with the
// diagnostic log switched on so that tests read what it did. The registry and the temp
// folder are the test binary's own.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace startup_test {

struct RunResult {
    int exit_code { -1 };
    bool killed { false };
    std::string error_output;
    std::string log;
};

class WeatherProcess {
public:
    // Starts Weather from the folder with the script; screen "WIDTHxHEIGHT".
    WeatherProcess(const std::string& program_folder, const std::string& script, const std::string& screen,
        const std::string& error_file);
    ~WeatherProcess();
    pid_t pid() const { return m_pid; }
    // Waits for the end (at most the seconds); a process still running then is killed.
    RunResult wait(int seconds);
    void kill_hard();

private:
    pid_t m_pid { -1 };
    std::string m_error_file;
    bool m_killed { false };
};

class WeatherRun : public ::testing::Test {
protected:
    // The installed program folder (made once per test binary with nalo-install).
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    static std::string program_folder();
    std::string shot_path(const std::string& name) const;
    std::string settings_file() const { return program_folder() + "/settings.xml"; }
    std::string downloads() const { return program_folder() + "/downloads"; }

    // The settings file with these cities (name, code); the sibling product as asked.
    void save_cities(const std::vector<std::pair<std::string, std::string>>& cities);
    void set_sibling(bool installed);
    // A fresh cache file for each city, so that no page asks the daemon.
    void fresh_cache(const std::string& code, int temperature, int condition, int days = 5);

    // Runs the script to its end; the log of the run in the result.
    RunResult run(const std::string& script, const std::string& screen = "240x320", int seconds = 60);
    WeatherProcess start(const std::string& script, const std::string& screen = "240x320");
    std::string log_text() const;
    std::string error_file() const;

    std::string m_shots;
};

// Lines of the log that contain the text, in order.
std::vector<std::string> lines_with(const std::string& log, const std::string& text);
// The last line that begins with the text (without it), or empty.
std::string last_after(const std::string& log, const std::string& prefix);
// The pixels of a shot's big temperature text (shipped page layout at 240x320), or empty.
std::vector<uint8_t> temperature_region(const std::string& shot);

} // namespace startup_test
