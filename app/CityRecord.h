// One city of the user's list with its forecast, as the pages show it. The record named
// "empty" that Settings inserts is the advertising slot, not a city. The forecast fields are filled from the
// city's cache file by load_from_xml (CacheFileReader.h) and live only in memory.
#pragma once

#include "app/DayForecast.h"

#include "daemon/ForecastDetails.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace weather {

constexpr std::u16string_view advertising_name = u"empty";

struct CityRecord {
    bool need_reload { false };  // a request was posted; the page waits for the cache file
    bool advertising { false };  // the advertising slot (a stored city may be named "empty")
    bool sample { false };       // the cached forecast is the service's sample data
    std::u16string name;
    std::u16string code;
    std::u16string rdate;        // the cache file's "rdate", unparsed
    int64_t request_date { 0 };  // when the cached forecast was requested, local count
    int32_t temperature { no_temperature };
    int32_t condition { no_condition };
    std::vector<DayForecast> days;
    ombrelo::ForecastDetails details;        // today's, where the cache file has them
    std::vector<ombrelo::HourForecast> hours; // the next hours, at most ombrelo::max_hours

    bool is_advertising() const { return advertising; }
};

// "%app_path%//downloads//_" + code + ".xml"
std::u16string cache_file_path(std::u16string_view code);
// "%app_path%//downloads//_" + code + ".status": the outcome of the daemon's last attempt.
std::u16string status_file_path(std::u16string_view code);

} // namespace weather
