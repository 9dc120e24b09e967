// The text forms of date-times in the cache file and the feed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ombrelo {

// "2009 03 10 14 05 07.250000": year, month, day, hour, minute, and the seconds within
// the minute with six fractional digits (whole microseconds, never rounded up).
std::u16string date_time_text(int64_t count);

// Six numbers separated by optional white space; none when one is missing or malformed
// (seconds that no count can hold are malformed). Parts that are no calendar time give
// the seconds alone.
std::optional<int64_t> read_date_time_text(std::u16string_view text);

// The feed's day date "5 Mar 2009" at 00:00; 0 when it is no calendar date.
int64_t read_forecast_date(std::u16string_view text);

// Whole minutes from one date-time to a later one, clamped to 32 bits.
int32_t minutes_between(int64_t earlier, int64_t later);

} // namespace ombrelo
