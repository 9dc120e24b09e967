// One city's forecast as the provider (Open-Meteo) gives it, read and checked.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace forecastd {

enum class TemperatureUnit { as_asked, celsius, fahrenheit };

struct ProviderDay {
    std::chrono::year_month_day date;   // the city's own calendar date
    int wmo_code { 0 };
    double high { 0 };
    double low { 0 };
};

struct ProviderForecast {
    // The city's wall-clock time of the current condition, counted as if it were UTC.
    std::chrono::sys_seconds current_time {};
    double current_temperature { 0 };
    int current_wmo_code { 0 };
    bool is_day { true };
    std::vector<ProviderDay> days;      // whole days only, in the provider's order
    int32_t utc_offset_seconds { 0 };
    std::string time_zone_abbreviation; // printable ASCII, may be empty
    TemperatureUnit unit { TemperatureUnit::as_asked };
};

} // namespace forecastd
