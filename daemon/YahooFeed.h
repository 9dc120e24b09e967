// Conversion of the forecast service's RSS answer into a forecast record.
#pragma once

#include "daemon/ByteBuffer.h"
#include "daemon/ForecastRecord.h"

#include <optional>
#include <string_view>

namespace ombrelo {

// Fills temp, code, rdate, days and the sample mark; what cannot be found keeps its
// initial value. Today's details (yweather:wind, yweather:atmosphere, yweather:astronomy,
// nalo:today) and the first max_hours nalo:hour elements are read where the feed has
// them, each value range-checked; they never make a body a forecast on their own. False when the body is no forecast: neither the current condition nor
// any day could be read.
bool load_from_yahoo(ForecastRecord& record, const ByteBuffer& body);

// The pieces of the details, for their own tests. "1016.2" as 10162; none for no number.
std::optional<int32_t> read_tenths(std::u16string_view text);
// "7:01 am" as 421 minutes after midnight.
std::optional<int32_t> read_clock_minutes(std::u16string_view text);
// "2026-03-10T14:00" as a date-time count.
std::optional<int64_t> read_hour_time(std::u16string_view text);

} // namespace ombrelo
