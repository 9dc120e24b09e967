// Today's details and the next hours of a forecast, as the daemon keeps them in the cache
// file and the application reads them back: optional children of "Main" that a reader of
// the older file skips. Every value is a whole number within its range (tenths where the
// unit wants a decimal); one out of range or missing is no value. Units are those of the
// cache file: degrees Celsius, km/h, tenths of hPa and of mm.
//
//   <Details feels="-3" wind="14" wind_dir="240" humidity="81" pressure="10162" rain="12"
//            rain_chance="60" uv="35" sunrise="421" sunset="1052"/>
//   <Hours><Hour date="2009 03 10 14 00 00.000000" code="28" temp="5" rain_chance="10"/>...</Hours>
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace ombrelo {

// Hours kept of a forecast: the file stays a few kilobytes whatever the feed holds.
constexpr size_t max_hours = 48;

struct HourForecast {
    int64_t date { 0 };              // local 100 ns count since 1601, at the whole hour
    int32_t temp { -1000 };          // degrees Celsius, -1000: none
    int32_t code { -1 };             // the service's condition code, -1: none
    std::optional<int32_t> rain_chance; // percent

    bool operator==(const HourForecast&) const = default;
};

struct ForecastDetails {
    std::optional<int32_t> feels;          // degrees Celsius
    std::optional<int32_t> wind;           // km/h
    std::optional<int32_t> wind_dir;       // degrees the wind comes from, 0 to 359
    std::optional<int32_t> humidity;       // percent
    std::optional<int32_t> pressure;       // tenths of hPa, at sea level
    std::optional<int32_t> rain;           // tenths of mm, today's sum
    std::optional<int32_t> rain_chance;    // percent, today's highest
    std::optional<int32_t> uv;             // tenths, today's highest
    std::optional<int32_t> sunrise;        // minutes after the city's midnight
    std::optional<int32_t> sunset;

    bool empty() const { return *this == ForecastDetails {}; }
    bool operator==(const ForecastDetails&) const = default;
};

struct DetailField {
    const char16_t* name;
    std::optional<int32_t> ForecastDetails::*member;
    int32_t low, high;
};

// The attributes of "Details", in the order written, with the range each must keep.
inline constexpr DetailField detail_fields[] = {
    { u"feels", &ForecastDetails::feels, -100, 100 },
    { u"wind", &ForecastDetails::wind, 0, 500 },
    { u"wind_dir", &ForecastDetails::wind_dir, 0, 359 },
    { u"humidity", &ForecastDetails::humidity, 0, 100 },
    { u"pressure", &ForecastDetails::pressure, 8000, 11000 },
    { u"rain", &ForecastDetails::rain, 0, 20000 },
    { u"rain_chance", &ForecastDetails::rain_chance, 0, 100 },
    { u"uv", &ForecastDetails::uv, 0, 300 },
    { u"sunrise", &ForecastDetails::sunrise, 0, 1439 },
    { u"sunset", &ForecastDetails::sunset, 0, 1439 },
};

// An hour's temperature and condition code are kept only within these.
constexpr int32_t lowest_hour_temp = -100;
constexpr int32_t highest_hour_temp = 70;
constexpr int32_t highest_condition = 47;

inline std::optional<int32_t> within(std::optional<int32_t> value, int32_t low, int32_t high)
{
    return value && *value >= low && *value <= high ? value : std::nullopt;
}

} // namespace ombrelo
