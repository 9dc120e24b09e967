// The three forms of the status-bar line: plain text, the JSON object waybar's custom
// modules read ("text", "tooltip", "class", "alt") and a format of the user's with
// placeholders in braces, for i3blocks, polybar and the like.
#pragma once

#include "TopForecast.h"

#include "skin/file/LanguageTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace today {

// The values of the placeholders, as UTF-8 text.
struct TodayFields {
    std::string city;
    std::string temp;
    std::string condition;
    std::string high;
    std::string low;
    std::string updated;
    std::string css_class; // the condition's class: "rain", "sunny", ... "unknown"
    std::string stale;     // the language's word for outdated data, empty when current
    std::string code;      // the condition code, empty when none
    std::string sample;    // the language's note for the service's sample data, or empty
};

// The placeholders a format may hold, without braces.
const std::vector<std::string_view>& placeholder_names();

// The class of a condition code: storm, thunderstorm, sleet, drizzle, rain, snow, hail,
// haze, fog, wind, cold, hot, cloudy, partly-cloudy, clear-night, sunny; "unknown" else.
std::string condition_class(int32_t code);

// The time of the update: the time of day when it is today, else the date and the time.
std::string update_time_text(int64_t updated, int64_t now);

TodayFields make_fields(const TopForecast& forecast, const skin::LanguageTable& language, bool in_celsius, int64_t now);

std::string plain_line(const TodayFields& fields);
std::string tooltip(const TodayFields& fields, const skin::LanguageTable& language);
std::string waybar_json(const TodayFields& fields, const skin::LanguageTable& language);
// The JSON for no forecast: the text and the class "none".
std::string waybar_json_none(const skin::LanguageTable& language);

// Checks a format: every "{" opens a known placeholder or is doubled ("{{"), and "}"
// outside one is doubled ("}}"). The error names the first fault; none when good.
std::optional<std::string> check_format(std::string_view format);
std::string apply_format(std::string_view format, const TodayFields& fields);

std::string json_string(std::string_view utf8);

} // namespace today
