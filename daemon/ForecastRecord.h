// One city's converted forecast, built fresh for every finished download, and one day
// of it. Temperatures in whole degrees Celsius (-1000: none), condition codes of the
// service (-1: none), date-times as local 100 ns counts since 1601.
#pragma once

#include "daemon/ForecastDetails.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ombrelo {

constexpr int32_t no_temperature = -1000;
constexpr int32_t no_condition = -1;

struct DayForecast {
    int64_t date { 0 };
    int32_t high { no_temperature };
    int32_t low { no_temperature };
    int32_t code { no_condition };
};

struct ForecastRecord {
    std::u16string city;      // the daemon has no source for it
    std::u16string city_code;
    std::u16string rdate;     // the feed's condition date, as received
    int64_t date { 0 };       // when the conversion ran
    int32_t temp { no_temperature };
    int32_t code { no_condition };
    std::vector<DayForecast> days;
    bool sample { false };    // the service marked the feed as sample data
    ForecastDetails details;  // what the feed had of today's details
    std::vector<HourForecast> hours; // the next hours, at most max_hours
};

} // namespace ombrelo
