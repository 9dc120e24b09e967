// One city's forecast as the provider (Open-Meteo) gives it, read and checked.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
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

// One hour of the next ones; the temperature in the reply's unit, the rain chance in
// percent.
struct ProviderHour {
    std::chrono::sys_seconds time;      // the city's wall-clock time, counted as if UTC
    double temperature { 0 };
    int wmo_code { 0 };
    bool is_day { true };
    std::optional<int> precipitation_probability;
};

// Today's details, each one only when the reply had it and it was within reason. Wind in
// km/h, pressure in hPa and precipitation in mm whatever the reply's units; the feels-like
// temperature in the reply's temperature unit.
struct ProviderDetails {
    std::optional<double> apparent_temperature;
    std::optional<double> wind_speed;
    std::optional<int> wind_direction;   // degrees, 0 to 359, where the wind comes from
    std::optional<int> humidity;         // percent
    std::optional<double> pressure;      // at sea level
    std::optional<double> precipitation; // today's sum
    std::optional<int> precipitation_probability;
    std::optional<double> uv_index;      // today's highest
    std::optional<std::chrono::sys_seconds> sunrise, sunset; // the city's wall-clock time

    bool empty() const
    {
        return !apparent_temperature && !wind_speed && !wind_direction && !humidity && !pressure && !precipitation
            && !precipitation_probability && !uv_index && !sunrise && !sunset;
    }
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
    ProviderDetails details;
    std::vector<ProviderHour> hours;     // from the current hour on, at most max_hours
};

} // namespace forecastd
