#include "ProviderJson.h"

#include <cstdio>

namespace forecastd_test {

JsonReply JsonReply::week(int first_day)
{
    JsonReply reply;
    for (int i = 0; i < 7; ++i) {
        char date[16];
        std::snprintf(date, sizeof date, "2026-03-%02d", first_day + i);
        reply.days.push_back({ date, i == 0 ? 3 : 61, 8.4 + i, -1.6 + i });
    }
    return reply;
}

std::string JsonReply::text() const
{
    auto number = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", v);
        return std::string(text);
    };
    std::string times, codes, highs, lows;
    for (const JsonDay& d : days) {
        if (!times.empty()) {
            times += ',';
            codes += ',';
            highs += ',';
            lows += ',';
        }
        times.append("\"").append(d.date).append("\"");
        codes += std::to_string(d.code);
        highs += number(d.high);
        lows += number(d.low);
    }
    return "{\"latitude\":52.52,\"longitude\":13.41,\"generationtime_ms\":0.05,\"utc_offset_seconds\":"
        + std::to_string(utc_offset) + ",\"timezone\":\"Europe/Berlin\",\"timezone_abbreviation\":\"" + zone
        + "\",\"elevation\":38.0,"
          "\"current_units\":{\"time\":\"iso8601\",\"interval\":\"seconds\",\"temperature_2m\":\""
        + unit + "\",\"weather_code\":\"wmo code\",\"is_day\":\"\"},"
          "\"current\":{\"time\":\"" + time + "\",\"interval\":900,\"temperature_2m\":" + number(temperature)
        + ",\"weather_code\":" + std::to_string(code) + ",\"is_day\":" + std::to_string(is_day) + "},"
        + "\"daily_units\":{\"time\":\"iso8601\",\"weather_code\":\"wmo code\",\"temperature_2m_max\":\"" + unit
        + "\",\"temperature_2m_min\":\"" + unit + "\"},"
        + "\"daily\":{\"time\":[" + times + "],\"weather_code\":[" + codes + "],\"temperature_2m_max\":[" + highs
        + "],\"temperature_2m_min\":[" + lows + "]}}";
}

} // namespace forecastd_test
