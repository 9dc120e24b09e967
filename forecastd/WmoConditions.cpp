#include "forecastd/WmoConditions.h"

namespace forecastd {

namespace {

struct Row {
    int wmo;
    Condition day;
    Condition night;
};

// One row per WMO code; only sky conditions differ by night.
constexpr Row table[] = {
    { 0, { 32, "Sunny" }, { 31, "Clear" } },
    { 1, { 34, "Mostly Sunny" }, { 33, "Mostly Clear" } },
    { 2, { 30, "Partly Cloudy" }, { 29, "Partly Cloudy" } },
    { 3, { 26, "Cloudy" }, { 26, "Cloudy" } },
    { 45, { 20, "Foggy" }, { 20, "Foggy" } },
    { 48, { 20, "Freezing Fog" }, { 20, "Freezing Fog" } },
    { 51, { 9, "Light Drizzle" }, { 9, "Light Drizzle" } },
    { 53, { 9, "Drizzle" }, { 9, "Drizzle" } },
    { 55, { 9, "Heavy Drizzle" }, { 9, "Heavy Drizzle" } },
    { 56, { 8, "Light Freezing Drizzle" }, { 8, "Light Freezing Drizzle" } },
    { 57, { 8, "Freezing Drizzle" }, { 8, "Freezing Drizzle" } },
    { 61, { 11, "Light Rain" }, { 11, "Light Rain" } },
    { 63, { 12, "Rain" }, { 12, "Rain" } },
    { 65, { 12, "Heavy Rain" }, { 12, "Heavy Rain" } },
    { 66, { 10, "Light Freezing Rain" }, { 10, "Light Freezing Rain" } },
    { 67, { 10, "Freezing Rain" }, { 10, "Freezing Rain" } },
    { 71, { 14, "Light Snow" }, { 14, "Light Snow" } },
    { 73, { 16, "Snow" }, { 16, "Snow" } },
    { 75, { 41, "Heavy Snow" }, { 41, "Heavy Snow" } },
    { 77, { 13, "Snow Grains" }, { 13, "Snow Grains" } },
    { 80, { 40, "Scattered Showers" }, { 40, "Scattered Showers" } },
    { 81, { 11, "Showers" }, { 11, "Showers" } },
    { 82, { 12, "Heavy Showers" }, { 12, "Heavy Showers" } },
    { 85, { 42, "Scattered Snow Showers" }, { 42, "Scattered Snow Showers" } },
    { 86, { 46, "Snow Showers" }, { 46, "Snow Showers" } },
    { 95, { 4, "Thunderstorms" }, { 4, "Thunderstorms" } },
    { 96, { 38, "Thunderstorms with Hail" }, { 38, "Thunderstorms with Hail" } },
    { 99, { 3, "Severe Thunderstorms" }, { 3, "Severe Thunderstorms" } },
};

constexpr int codes[] = { 0, 1, 2, 3, 45, 48, 51, 53, 55, 56, 57, 61, 63, 65, 66, 67, 71, 73, 75, 77, 80, 81, 82,
    85, 86, 95, 96, 99 };
static_assert(sizeof codes / sizeof codes[0] == sizeof table / sizeof table[0]);

} // namespace

Condition condition_for(int wmo_code, bool is_day)
{
    for (const Row& row : table)
        if (row.wmo == wmo_code)
            return is_day ? row.day : row.night;
    return { condition_not_available, "Not Available" };
}

std::span<const int> known_wmo_codes()
{
    return codes;
}

} // namespace forecastd
