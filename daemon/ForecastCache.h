// The forecast cache file "%app_path%//downloads//_" + code + ".xml", written by the
// daemon and read by the application, and the publication of the `Top` city's current
// condition in the registry for other programs.
#pragma once

#include "daemon/ForecastRecord.h"

#include <string>
#include <string_view>

namespace ombrelo {

std::u16string cache_file_path(std::u16string_view city_code);

// "+" above 0, the value, "°"; empty for no temperature. Fahrenheit values are
// truncated toward zero.
std::u16string temperature_text(int32_t celsius, bool in_celsius);

// Replaces the city's cache file whole; a failure is not reported.
void save_to_xml(const ForecastRecord& record);
// The cache file, then `TopCode` and `TopTemp` when the city is the `Top` city.
void store_forecast(const ForecastRecord& record);

} // namespace ombrelo
