#include "ProviderJson.h"

#include "daemon/YahooFeed.h"
#include "forecastd/ProviderReply.h"

#include <gtest/gtest.h>

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

JsonReply& JsonReply::with_details()
{
    current_details = ",\"relative_humidity_2m\":81,\"apparent_temperature\":2.6,\"wind_speed_10m\":14.4,"
                      "\"wind_direction_10m\":238,\"pressure_msl\":1016.2";
    current_units = ",\"relative_humidity_2m\":\"%\",\"apparent_temperature\":\"" + unit
        + "\",\"wind_speed_10m\":\"km/h\",\"wind_direction_10m\":\"\u00B0\",\"pressure_msl\":\"hPa\"";
    daily_details = ",\"sunrise\":[\"2026-03-10T06:41\"],\"sunset\":[\"2026-03-10T18:07\"],"
                    "\"precipitation_sum\":[1.2],\"precipitation_probability_max\":[60],\"uv_index_max\":[3.45]";
    daily_units = ",\"sunrise\":\"iso8601\",\"sunset\":\"iso8601\",\"precipitation_sum\":\"mm\","
                  "\"precipitation_probability_max\":\"%\",\"uv_index_max\":\"\"";
    std::string times, temperatures, codes, chances, day_flags;
    for (int i = 0; i < 30; ++i) {
        char time[32];
        std::snprintf(time, sizeof time, "%s\"2026-03-%02dT%02d:00\"", i ? "," : "", 10 + i / 24, i % 24);
        times += time;
        const char* comma = i ? "," : "";
        temperatures.append(comma).append(std::to_string(i)).append(".4");
        codes += i ? ",61" : "3";
        // The provider gives null where it has no chance.
        chances.append(comma).append(i == 15 ? "null" : std::to_string(i * 3));
        day_flags.append(comma).append(i % 24 >= 7 && i % 24 < 18 ? "1" : "0");
    }
    hourly = ",\"hourly_units\":{\"time\":\"iso8601\",\"temperature_2m\":\"" + unit
        + "\"},\"hourly\":{\"time\":[" + times + "],\"temperature_2m\":[" + temperatures + "],\"weather_code\":["
        + codes + "],\"precipitation_probability\":[" + chances + "],\"is_day\":[" + day_flags + "]}";
    return *this;
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
        + unit + "\",\"weather_code\":\"wmo code\",\"is_day\":\"\"" + current_units + "},"
          "\"current\":{\"time\":\"" + time + "\",\"interval\":900,\"temperature_2m\":" + number(temperature)
        + ",\"weather_code\":" + std::to_string(code) + ",\"is_day\":" + std::to_string(is_day) + current_details + "},"
        + "\"daily_units\":{\"time\":\"iso8601\",\"weather_code\":\"wmo code\",\"temperature_2m_max\":\"" + unit
        + "\",\"temperature_2m_min\":\"" + unit + "\"" + daily_units + "},"
        + "\"daily\":{\"time\":[" + times + "],\"weather_code\":[" + codes + "],\"temperature_2m_max\":[" + highs
        + "],\"temperature_2m_min\":[" + lows + "]" + daily_details + "}" + hourly + "}";
}

forecastd::PlaceInfo berlin()
{
    forecastd::PlaceInfo place;
    place.code = "02950159";
    place.latitude = 52.52437;
    place.longitude = 13.41053;
    place.time_zone = "Europe/Berlin";
    place.name = "Berlin, Berlin, Germany";
    place.city = place.region = "Berlin";
    place.country = "Germany";
    return place;
}

forecastd::ProviderForecast read(const JsonReply& json)
{
    forecastd::ProviderForecast forecast;
    std::string error;
    EXPECT_TRUE(forecastd::read_provider_reply(json.text(), forecast, error)) << error;
    return forecast;
}

ombrelo::ForecastRecord convert(const std::string& feed)
{
    ombrelo::ForecastRecord record;
    ombrelo::load_from_yahoo(record, ombrelo::ByteBuffer(feed.data(), feed.size()));
    return record;
}

} // namespace forecastd_test
