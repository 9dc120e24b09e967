// The two readers of outside input: the request target and the provider's JSON.
#include "forecastd/ForecastQuery.h"
#include "forecastd/ProviderReply.h"

#include "ProviderJson.h"

#include <gtest/gtest.h>

using namespace forecastd;
using forecastd_test::JsonReply;

TEST(ForecastQuery, AnswerableTargets)
{
    struct Case {
        const char* target;
        const char* code;
        bool fahrenheit;
    };
    const Case cases[] = {
        { "/forecastrss?p=02950159&u=c", "02950159", false },
        { "/forecastrss?p=02950159&u=f", "02950159", true },
        { "/forecastrss?u=F&p=00000001", "00000001", true },
        { "/forecastrss?p=02950159", "02950159", false },
        { "/forecastrss?p=02950159&u=c&_=1712345", "02950159", false },
    };
    for (const Case& c : cases) {
        ForecastQuery query = parse_forecast_query(c.target);
        EXPECT_EQ(query.status, 200) << c.target;
        EXPECT_EQ(query.code, c.code) << c.target;
        EXPECT_EQ(query.fahrenheit, c.fahrenheit) << c.target;
    }
}

TEST(ForecastQuery, MalformedQueriesAndOtherPaths)
{
    const char* bad[] = {
        "/forecastrss",                          // no query
        "/forecastrss?",                         // empty query
        "/forecastrss?u=c",                      // no code
        "/forecastrss?p=0295015&u=c",            // 7 digits
        "/forecastrss?p=029501590&u=c",          // 9 digits
        "/forecastrss?p=USNY0996&u=c",           // the old service's codes
        "/forecastrss?p=0295015a&u=c",
        "/forecastrss?p=%302950159&u=c",         // percent-encoded digit
        "/forecastrss?p=02950159&u=%63",
        "/forecastrss?p=02950159&u=k",
        "/forecastrss?p=02950159&u=cf",
        "/forecastrss?p=02950159&p=00000001",    // two codes
        "/forecastrss?p=02950159&u=c&u=f",
        "/forecastrss?p=02950159&&u=c",
        "/forecastrss?p=02950159&u=c&",
        "/forecastrss?=1&p=02950159",
        "/forecastrss?p=02950159&x",
        "/forecastrss?p=../../etc/passwd",
        "/forecastrss?p=02950159+&u=c",
        "/forecastrss?p=02950159&u=c#top",
        "/forecastrss?p=02950159&u=c\xC3\xA9",   // not ASCII
        "/forecastrss?p=02950159\t&u=c",
        "",
    };
    for (const char* target : bad)
        EXPECT_EQ(parse_forecast_query(target).status, 400) << target;
    std::string overlong = "/forecastrss?p=02950159&u=c&pad=" + std::string(300, 'a');
    EXPECT_EQ(parse_forecast_query(overlong).status, 400);

    for (const char* other : { "/", "/forecastrss/", "/forecastRSS?p=02950159&u=c", "/favicon.ico",
             "/forecastrss.xml?p=02950159" })
        EXPECT_EQ(parse_forecast_query(other).status, 404) << other;
}

TEST(ProviderReply, AWholeAnswer)
{
    JsonReply json = JsonReply::week();
    json.time = "2026-03-10T23:45";
    ProviderForecast forecast;
    std::string error;
    ASSERT_TRUE(read_provider_reply(json.text(), forecast, error)) << error;
    using namespace std::chrono;
    EXPECT_EQ(forecast.current_time, sys_days(2026y / March / 10) + hours(23) + minutes(45));
    EXPECT_DOUBLE_EQ(forecast.current_temperature, 5.4);
    EXPECT_EQ(forecast.current_wmo_code, 3);
    EXPECT_TRUE(forecast.is_day);
    EXPECT_EQ(forecast.utc_offset_seconds, 3600);
    EXPECT_EQ(forecast.time_zone_abbreviation, "CET");
    EXPECT_EQ(forecast.unit, TemperatureUnit::celsius);
    ASSERT_EQ(forecast.days.size(), 7u);
    EXPECT_EQ(forecast.days[6].date, 2026y / March / 16);
    EXPECT_DOUBLE_EQ(forecast.days[6].high, 14.4);
}

TEST(ProviderReply, BrokenAnswersFail)
{
    std::string whole = JsonReply::week().text();
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = whole;
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const std::pair<const char*, std::string> broken[] = {
        { "not JSON", "<html>busy</html>" },
        { "an array", "[1,2,3]" },
        { "cut short", whole.substr(0, whole.size() / 2) },
        { "no current", replaced("\"current\":", "\"present\":") },
        { "current time missing", replaced("\"time\":\"2026-03-10T14:00\",", "") },
        { "current time malformed", replaced("2026-03-10T14:00", "2026-03-10 14:00") },
        { "current hour 24", replaced("2026-03-10T14:00", "2026-03-10T24:00") },
        { "temperature a string", replaced("\"temperature_2m\":5.4", "\"temperature_2m\":\"5.4\"") },
        { "temperature NaN", replaced("\"temperature_2m\":5.4", "\"temperature_2m\":NaN") },
        { "temperature huge", replaced("\"temperature_2m\":5.4", "\"temperature_2m\":1e308") },
        { "temperature beyond a double", replaced("\"temperature_2m\":5.4", "\"temperature_2m\":1e999") },
        { "temperature absurd", replaced("\"temperature_2m\":5.4", "\"temperature_2m\":40000") },
        { "weather code fractional", replaced("\"weather_code\":3,", "\"weather_code\":3.5,") },
        { "weather code negative", replaced("\"weather_code\":3,", "\"weather_code\":-3,") },
        { "is_day 2", replaced("\"is_day\":1", "\"is_day\":2") },
        { "no offset", replaced("\"utc_offset_seconds\":3600", "\"utc_offset\":3600") },
        { "offset of days", replaced("\"utc_offset_seconds\":3600", "\"utc_offset_seconds\":9000000") },
        { "unknown unit", replaced("\"temperature_2m\":\"\u00B0C\"", "\"temperature_2m\":\"K\"") },
        { "units disagree", replaced("\"temperature_2m_max\":\"\u00B0C\"", "\"temperature_2m_max\":\"\u00B0F\"") },
        { "daily not arrays", replaced("\"weather_code\":[", "\"weather_code\":7,\"codes\":[") },
        { "no daily", replaced("\"daily\":", "\"weekly\":") },
        { "first day broken", replaced("[\"2026-03-10\"", "[\"2026-02-30\"") },
    };
    for (const auto& [what, text] : broken) {
        ProviderForecast forecast;
        std::string error;
        EXPECT_FALSE(read_provider_reply(text, forecast, error)) << what;
        EXPECT_FALSE(error.empty()) << what;
    }
}

TEST(ProviderReply, OnlyTheWholeDaysAreKept)
{
    JsonReply json = JsonReply::week();
    std::string text = json.text();
    // Short arrays: four lows only.
    std::string four = text;
    four.replace(four.find("\"temperature_2m_min\":["), std::string::npos,
        "\"temperature_2m_min\":[-1.6,-0.6,0.4,1.4]}}");
    ProviderForecast forecast;
    std::string error;
    ASSERT_TRUE(read_provider_reply(four, forecast, error)) << error;
    EXPECT_EQ(forecast.days.size(), 4u);

    // A null in the middle, a gap in the dates, a date that is no date.
    const std::pair<std::string, std::string> breaks[] = {
        { "9.4,10.4,11.4", "9.4,null,11.4" },
        { "\"2026-03-12\"", "\"2026-03-19\"" },
        { "\"2026-03-12\"", "\"tomorrow\"" },
    };
    for (const auto& [from, to] : breaks) {
        std::string broken = text;
        broken.replace(broken.find(from), from.size(), to);
        ASSERT_TRUE(read_provider_reply(broken, forecast, error)) << to;
        EXPECT_EQ(forecast.days.size(), 2u) << to;
    }
}
