// What other programs can know of the first city's weather: the registry values the
// daemon (and Weather) publish for the `Top` city, `TopCode` and `TopTemp`, with the
// city's name from the settings file and today's high and low and the time of the last
// update from its cache file, all in the user's program folder.
#pragma once

#include "app/CityRecord.h"

#include <cstdint>
#include <optional>
#include <string>

namespace today {

struct TopForecast {
    std::u16string code;
    std::u16string name;        // the name as the page shows it; the code when unknown
    std::u16string temperature; // `TopTemp`, as published ("+4°")
    int32_t condition { weather::no_condition };
    bool has_cache { false };
    bool sample { false };      // the service's sample data
    int64_t updated { 0 };      // when the cached forecast was requested; 0 unknown
    int32_t high { weather::no_temperature };
    int32_t low { weather::no_temperature };
    bool stale { false };
};

// The program folder a user's Weather runs from: $XDG_DATA_HOME/nalo/Weather, else
// ~/.local/share/nalo/Weather; empty when neither XDG_DATA_HOME nor HOME is set.
std::string default_program_folder();

// `UpdateTime` in minutes (360 when missing; 0 never).
uint32_t update_interval();

// The forecast at the local date-time now, or none when nothing is published: no `Top`
// city, or neither a condition nor a temperature for it. The forecast is stale when it is
// older than the update interval, or when its age cannot be told (no readable cache
// file); never by age when the interval is 0 ("Never").
std::optional<TopForecast> read_top_forecast(const std::string& folder, int64_t now);

// The path of the city's cache file in the folder.
std::string cache_file(const std::string& folder, std::u16string_view code);
// The age in minutes of the city's cached forecast (from its "Create" date), none when
// the file is missing or does not read.
std::optional<int64_t> cache_age_minutes(const std::string& folder, std::u16string_view code, int64_t now);

} // namespace today
