// One day of a city's forecast as the cache file holds it: the date at midnight, the
// high and low in whole degrees Celsius and the service's condition code.
#pragma once

#include <cstdint>

namespace weather {

constexpr int32_t no_temperature = -1000;
constexpr int32_t no_condition = -1;

struct DayForecast {
    int64_t date { 0 }; // local 100 ns count since 1601
    int32_t high { no_temperature };
    int32_t low { no_temperature };
    int32_t condition { no_condition };

    bool operator==(const DayForecast&) const = default;
};

} // namespace weather
