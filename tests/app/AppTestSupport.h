// The program folder of the application's tests (the test binary's own folder, as
// "%app_path%" names it): settings file, cache files and registry values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app_test {

// The test binary's folder and its downloads folder, as host paths.
std::string app_folder();
std::string downloads_host_folder();
std::string settings_path();
// The temporary settings files left in the folder ("settings.xml.tmp-PID").
std::vector<std::string> settings_temporaries();

// Empties the downloads folder and removes the settings file and the Weather key, and
// the sibling product's key.
void reset_program_state();

// Writes a cache file for the code; its last-write time is set that many minutes ago.
void write_cache(const std::string& code, const std::string& xml, int64_t minutes_old = 0);
// A cache document in the daemon's form with this request date (a date-time text).
std::string cache_xml(const std::string& code, const std::string& request_date, int temp, int condition,
    int days = 0, const std::string& first_day = "2009 03 10 00 00 00.000000");
void set_minutes_old(const std::string& path, int64_t minutes_old);

// The date-time text of "now minus that many minutes" in the cache file's form.
std::string date_text_minutes_ago(int64_t minutes);

// Installs the sibling product (its InstallDir) or removes it.
void set_sibling_installed(bool installed);

// Two shots (PNG files) are equal but for the frame-time overlay in the top left corner,
// which the shell draws while the log is on: its figures are measured, so they differ
// from run to run. False when either cannot be read.
bool same_pixels_but_overlay(const std::string& a, const std::string& b);

std::string read_text(const std::string& path);
std::string utf8(const std::u16string& text);

} // namespace app_test
