// The forecast cache file "%app_path%//downloads//_" + code + ".xml", written by the
// daemon and read by the application, and the publication of the `Top` city's current
// condition in the registry for other programs.
#pragma once

#include "daemon/ForecastRecord.h"

#include <string>
#include <string_view>

namespace ombrelo {

std::u16string cache_file_path(std::u16string_view city_code);
// "%app_path%//downloads//_" + code + ".status": the outcome of the city's last download.
std::u16string status_file_path(std::u16string_view city_code);

// No cache file this daemon writes comes near this size; a larger one is not read.
constexpr int64_t largest_cache_file = 256 * 1024;

// "+" above 0, the value, "°"; empty for no temperature. Fahrenheit values are
// truncated toward zero.
std::u16string temperature_text(int32_t celsius, bool in_celsius);

// Replaces the city's cache file whole; a failure is not reported.
void save_to_xml(const ForecastRecord& record);
// The cache file, then `TopCode` and `TopTemp` when the city is the `Top` city.
void store_forecast(const ForecastRecord& record);

// Replaces the city's status file whole with one line: "ok", "unreachable", "http N",
// "unknown-city" or "bad-feed". A failure is logged only.
void save_status(std::u16string_view city_code, std::string_view status);

} // namespace ombrelo
