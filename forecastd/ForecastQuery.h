// The request target forecastd answers: "/forecastrss?p=CODE&u=c" (or u=f). The target
// is outside input: only plain printable characters pass, the city code must be exactly
// 8 digits, and nothing encoded ("%", "+") is decoded, so no query text ever reaches a
// file name or an upstream address unchecked.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace forecastd {

constexpr size_t max_target_length = 256;

struct ForecastQuery {
    int status { 400 };   // 200 usable; 404 another path; 400 a malformed query
    std::string code;     // exactly 8 decimal digits when usable
    bool fahrenheit { false };
};

// Parses the raw request target (path and query as sent, not decoded).
ForecastQuery parse_forecast_query(std::string_view target);

} // namespace forecastd
