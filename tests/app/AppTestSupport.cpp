#include "AppTestSupport.h"

#include "app/Settings.h"

#include "runtime/Paths.h"
#include "runtime/Registry.h"

#include "platform/Clock.h"
#include "platform/HostPath.h"
#include "platform/TextEncoding.h"

#include "skin/draw/FramePng.h"

#include "support/TestSupport.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace app_test {

namespace fs = std::filesystem;

std::string app_folder()
{
    return platform::host_path(runtime::expand_path(u"%app_path%"));
}

std::string downloads_host_folder()
{
    return app_folder() + "/downloads";
}

std::string settings_path()
{
    return app_folder() + "/settings.xml";
}

std::vector<std::string> settings_temporaries()
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(app_folder()))
        if (entry.path().filename().string().starts_with("settings.xml.tmp"))
            found.push_back(entry.path().string());
    return found;
}

void reset_program_state()
{
    fs::remove_all(downloads_host_folder());
    fs::create_directories(downloads_host_folder());
    // The file, its temporaries, lock and damaged copies.
    for (const auto& entry : fs::directory_iterator(app_folder()))
        if (entry.path().filename().string().starts_with("settings.xml"))
            fs::remove_all(entry.path());
    runtime::delete_key(weather::weather_key);
    runtime::delete_key(weather::sibling_key);
}

void set_minutes_old(const std::string& path, int64_t minutes_old)
{
    auto when = fs::file_time_type::clock::now() - std::chrono::minutes(minutes_old);
    fs::last_write_time(path, when);
}

void write_cache(const std::string& code, const std::string& xml, int64_t minutes_old)
{
    std::string path = downloads_host_folder() + "/_" + code + ".xml";
    test_support::write_bytes(path, xml);
    set_minutes_old(path, minutes_old);
}

std::string cache_xml(const std::string& code, const std::string& request_date, int temp, int condition, int days,
    const std::string& first_day)
{
    std::string xml = "<Main><Create date=\"" + request_date + "\" rdate=\"10 Mar 2009 2:00 pm\"/>"
        + "<Current city=\"\" city_code=\"" + code + "\" temp=\"" + std::to_string(temp) + "\" code=\""
        + std::to_string(condition) + "\"><Weathers>";
    for (int i = 0; i < days; ++i)
        xml += "<Weather date=\"" + (i == 0 ? first_day : "2009 03 1" + std::to_string(i) + " 00 00 00.000000")
            + "\" code=\"" + std::to_string(i) + "\" high=\"" + std::to_string(10 + i) + "\" low=\""
            + std::to_string(i - 5) + "\"/>";
    return xml + "</Weathers></Current></Main>";
}

std::string date_text_minutes_ago(int64_t minutes)
{
    int64_t count = platform::local_now() - minutes * platform::units_per_minute;
    platform::SystemTime t = platform::count_to_system_time(count);
    char text[64];
    std::snprintf(text, sizeof text, "%d %02d %02d %02d %02d %02d.%03d000", t.year, t.month, t.day, t.hour, t.minute,
        t.second, t.milliseconds);
    return text;
}

void set_sibling_installed(bool installed)
{
    if (installed)
        runtime::write_string(weather::sibling_key, u"InstallDir", u"/opt/nalo/Quillpane");
    else
        runtime::delete_key(weather::sibling_key);
}

std::string read_text(const std::string& path)
{
    auto bytes = test_support::read_bytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::string utf8(const std::u16string& text)
{
    return platform::to_utf8(text);
}

bool same_pixels_but_overlay(const std::string& a, const std::string& b)
{
    skin::RgbImage first, second;
    if (!skin::read_png(a, first) || !skin::read_png(b, second) || first.width != second.width
        || first.height != second.height)
        return false;
    for (int y = 0; y < first.height; ++y)
        for (int x = y < 24 ? 120 : 0; x < first.width; ++x)
            for (int c = 0; c < 3; ++c) {
                size_t at = (size_t(y) * first.width + x) * 3 + c;
                if (first.rgb[at] != second.rgb[at])
                    return false;
            }
    return true;
}

} // namespace app_test
