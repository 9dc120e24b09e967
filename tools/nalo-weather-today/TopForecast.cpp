#include "TopForecast.h"

#include "app/BoundedFile.h"
#include "app/CacheFileReader.h"
#include "app/ForecastWords.h"
#include "app/SettingsFile.h"
#include "app/WeatherView.h"

#include "daemon/CityCode.h"
#include "daemon/WeatherSettings.h"

#include "runtime/Registry.h"

#include "platform/Clock.h"
#include "platform/TextEncoding.h"

#include <cstdlib>

namespace today {

namespace {

using weather::CityRecord;

std::optional<CityRecord> read_cache(const std::string& folder, std::u16string_view code)
{
    std::vector<char> bytes;
    if (!weather::read_bounded_file(platform::from_utf8(cache_file(folder, code)), weather::outside_file_limit, bytes))
        return std::nullopt;
    CityRecord record;
    record.code = std::u16string(code);
    if (!weather::load_from_xml(record, bytes.data(), bytes.size()) || record.code != code)
        return std::nullopt;
    return record;
}

std::u16string name_from_settings(const std::string& folder, std::u16string_view code)
{
    auto content = weather::SettingsFile::read(platform::from_utf8(folder + "/settings.xml"));
    for (const auto& entry : content.entries)
        if (entry.code == code && !entry.name.empty())
            return weather::WeatherView::shown_name(entry.name);
    return std::u16string(code);
}

} // namespace

std::string default_program_folder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home)
            return {};
        base = std::string(home) + "/.local/share";
    }
    return base + "/nalo/Weather";
}

uint32_t update_interval() { return ombrelo::read_update_time(); }

std::string cache_file(const std::string& folder, std::u16string_view code)
{
    return folder + "/downloads/_" + platform::to_utf8(code) + ".xml";
}

std::optional<int64_t> cache_age_minutes(const std::string& folder, std::u16string_view code, int64_t now)
{
    auto record = read_cache(folder, code);
    if (!record || record->request_date == 0)
        return std::nullopt;
    return (now - record->request_date) / platform::units_per_minute;
}

std::optional<TopForecast> read_top_forecast(const std::string& folder, int64_t now)
{
    std::u16string top = ombrelo::read_top_city();
    if (top.empty() || !ombrelo::is_valid_city_code(top))
        return std::nullopt;
    TopForecast forecast;
    forecast.code = top;
    uint32_t code = 0;
    if (runtime::read_number(ombrelo::weather_key, u"TopCode", code))
        forecast.condition = int32_t(code);
    runtime::read_string(ombrelo::weather_key, u"TopTemp", forecast.temperature);
    if (forecast.temperature.empty() && forecast.condition == weather::no_condition)
        return std::nullopt;
    forecast.name = name_from_settings(folder, top);

    uint32_t interval = update_interval();
    if (auto record = read_cache(folder, top)) {
        forecast.has_cache = true;
        forecast.sample = record->sample;
        forecast.updated = record->request_date;
        if (const weather::DayForecast* day = weather::today_of(*record, weather::day_number(now))) {
            forecast.high = day->high;
            forecast.low = day->low;
        }
    }
    if (forecast.updated == 0)
        forecast.stale = interval != 0;
    else
        forecast.stale = interval != 0 && (now - forecast.updated) / platform::units_per_minute > int64_t(interval);
    return forecast;
}

} // namespace today
