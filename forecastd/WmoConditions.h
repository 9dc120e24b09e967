// WMO weather interpretation codes (what Open-Meteo reports) as the condition codes
// 0..47 of the feed the daemon reads, with day and night variants where the feed has
// them (clear, mainly clear, partly cloudy). A code the table does not know is 3200,
// the feed's "not available".
#pragma once

#include <span>

namespace forecastd {

struct Condition {
    int code;
    const char* text;
};

constexpr int condition_not_available = 3200;

Condition condition_for(int wmo_code, bool is_day);
// Every WMO code of the table, in increasing order.
std::span<const int> known_wmo_codes();

} // namespace forecastd
