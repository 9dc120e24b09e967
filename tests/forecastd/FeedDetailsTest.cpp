// Today's details and the next hours: from the provider's reply through the feed into
// the daemon's record, without a byte of the older elements changing.
#include "forecastd/FeedWriter.h"
#include "forecastd/OfflineProvider.h"
#include "forecastd/ProviderReply.h"

#include "daemon/YahooFeed.h"

#include "platform/Clock.h"

#include "ProviderJson.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace forecastd;
using namespace std::chrono;
using forecastd_test::JsonReply;
using forecastd_test::berlin;
using forecastd_test::convert;
using forecastd_test::read;

namespace {

bool is_new_line(const std::string& line)
{
    for (const char* start : { "<yweather:wind", "<yweather:atmosphere", "<yweather:astronomy", "<nalo:today",
             "<nalo:hour" })
        if (line.starts_with(start))
            return true;
    return false;
}

// The feed without the lines of the new elements, and how many there were.
std::string older_lines(const std::string& feed, int& removed)
{
    std::istringstream in(feed);
    std::string line, out;
    removed = 0;
    while (std::getline(in, line)) {
        if (is_new_line(line))
            ++removed;
        else
            out += line + "\n";
    }
    return out;
}

std::string attribute(const std::string& feed, const std::string& element, const std::string& name)
{
    size_t at = feed.find("<" + element + " ");
    size_t end = feed.find("/>", at);
    size_t value = feed.find(" " + name + "=\"", at);
    if (at == std::string::npos || value == std::string::npos || value > end)
        return "(none)";
    value += name.size() + 3;
    return feed.substr(value, feed.find('"', value) - value);
}

} // namespace

TEST(FeedDetails, TheOlderElementsStayByteForByte)
{
    for (bool fahrenheit : { false, true }) {
        for (bool sample : { false, true }) {
            std::string old_feed = write_feed(berlin(), read(JsonReply::week()), { fahrenheit, sample });
            std::string feed = write_feed(berlin(), read(JsonReply::week().with_details()), { fahrenheit, sample });
            int removed = 0;
            EXPECT_EQ(older_lines(feed, removed), old_feed) << fahrenheit << sample;
            // Wind, atmosphere, astronomy, today and the 16 hours from 14:00.
            EXPECT_EQ(removed, 4 + 16);
            older_lines(old_feed, removed);
            EXPECT_EQ(removed, 0);
        }
    }
}

TEST(FeedDetails, InTheUnitsTheUnitsElementNames)
{
    struct Case {
        const char* element;
        const char* name;
        const char* celsius;
        const char* fahrenheit;
    };
    const Case cases[] = {
        { "yweather:wind", "chill", "3", "37" },
        { "yweather:wind", "direction", "238", "238" },
        { "yweather:wind", "speed", "14", "9" },
        { "yweather:atmosphere", "humidity", "81", "81" },
        { "yweather:atmosphere", "pressure", "1016.2", "30.01" },
        { "yweather:astronomy", "sunrise", "6:41 am", "6:41 am" },
        { "yweather:astronomy", "sunset", "6:07 pm", "6:07 pm" },
        { "nalo:today", "precipitation", "1.2", "0.05" },
        { "nalo:today", "precipitation_probability", "60", "60" },
        { "nalo:today", "uv_index", "3.5", "3.5" },
        { "nalo:hour", "time", "2026-03-10T14:00", "2026-03-10T14:00" },
        { "nalo:hour", "temp", "14", "58" },
        { "nalo:hour", "precipitation_probability", "42", "42" },
    };
    ProviderForecast forecast = read(JsonReply::week().with_details());
    std::string celsius = write_feed(berlin(), forecast, {});
    std::string fahrenheit = write_feed(berlin(), forecast, { true, false });
    for (const Case& c : cases) {
        EXPECT_EQ(attribute(celsius, c.element, c.name), c.celsius) << c.element << " " << c.name;
        EXPECT_EQ(attribute(fahrenheit, c.element, c.name), c.fahrenheit) << c.element << " " << c.name;
    }
}

TEST(FeedDetails, TheDaemonKeepsWhatTheFeedCarries)
{
    ombrelo::ForecastRecord record
        = convert(write_feed(berlin(), read(JsonReply::week().with_details()), {}));
    ombrelo::ForecastDetails expected { 3, 14, 238, 81, 10162, 12, 60, 35, 6 * 60 + 41, 18 * 60 + 7 };
    EXPECT_EQ(record.details, expected);
    ASSERT_EQ(record.hours.size(), 16u);
    platform::SystemTime first = platform::count_to_system_time(record.hours[0].date);
    EXPECT_EQ(std::make_tuple(first.year, first.month, first.day, first.hour), std::make_tuple(2026, 3, 10, 14));
    EXPECT_EQ(record.hours[0].temp, 14);
    EXPECT_EQ(record.hours[0].code, 11); // light rain
    EXPECT_EQ(record.hours[0].rain_chance, 42);
    EXPECT_EQ(record.hours[1].rain_chance, std::nullopt); // the provider's null
    EXPECT_EQ(record.hours[15].date - record.hours[14].date, 36'000'000'000LL);
    // A feed without them keeps none, as before.
    ombrelo::ForecastRecord older = convert(write_feed(berlin(), read(JsonReply::week()), {}));
    EXPECT_TRUE(older.details.empty());
    EXPECT_TRUE(older.hours.empty());
}

// A detail the provider gives out of reason or in a unit not known is left out; a
// broken hour ends the hours; neither fails the reply.
TEST(FeedDetails, TheProvidersOddDetailsAreLeftOut)
{
    auto missing = [](const ProviderForecast& f, const std::string& what) {
        if (what == "wind")
            return !f.details.wind_speed;
        if (what == "humidity")
            return !f.details.humidity;
        if (what == "pressure")
            return !f.details.pressure;
        if (what == "sunrise")
            return !f.details.sunrise;
        if (what == "uv")
            return !f.details.uv_index;
        return true;
    };
    const struct {
        const char* detail;
        const char* from;
        const char* to;
        size_t hours;
    } cases[] = {
        { "wind", "\"wind_speed_10m\":\"km/h\"", "\"wind_speed_10m\":\"furlong\"", 16 },
        { "wind", "\"wind_speed_10m\":14.4", "\"wind_speed_10m\":-3", 16 },
        { "humidity", "\"relative_humidity_2m\":81", "\"relative_humidity_2m\":181", 16 },
        { "pressure", "\"pressure_msl\":1016.2", "\"pressure_msl\":\"high\"", 16 },
        { "sunrise", "2026-03-10T06:41", "2026-03-11T06:41", 16 },
        { "uv", "[3.45]", "[1e300]", 16 },
        { "hours", "\"2026-03-10T20:00\"", "\"2026-03-10T20:30\"", 6 },
        { "hours", ",\"2026-03-10T14:00\"", ",\"2026-03-10T14:00Z\"", 0 },
        { "hours", ",16.4,", ",999,", 2 },
    };
    for (const auto& c : cases) {
        std::string json = JsonReply::week().with_details().text();
        size_t at = json.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        json.replace(at, std::string_view(c.from).size(), c.to);
        ProviderForecast forecast;
        std::string error;
        ASSERT_TRUE(read_provider_reply(json, forecast, error)) << c.to << ": " << error;
        EXPECT_TRUE(missing(forecast, c.detail)) << c.to;
        EXPECT_EQ(forecast.hours.size(), c.hours) << c.to;
    }
}

TEST(FeedDetails, TheDaemonRangeChecksAndBoundsWhatItReads)
{
    std::string feed = "<rss><channel><yweather:wind chill=\"-300\" speed=\"9e9\" direction=\"360\"/>"
                       "<yweather:atmosphere humidity=\"101\" pressure=\"1016.25\"/>"
                       "<yweather:astronomy sunrise=\"13:01 am\" sunset=\"7:59 pm\"/><item>"
                       "<yweather:condition temp=\"5\" code=\"3\"/><nalo:today uv_index=\"NaN\" precipitation=\"-1\"/>";
    for (int i = 0; i < 60; ++i)
        feed += "<nalo:hour time=\"2026-03-" + std::to_string(10 + i / 24) + "T" + (i % 24 < 10 ? "0" : "")
            + std::to_string(i % 24) + ":00\" temp=\"" + std::to_string(i * 3) + "\" code=\"" + std::to_string(i + 1)
            + "\"/>";
    feed += "<nalo:hour time=\"2026-02-30T01:00\"/></item></channel></rss>";
    ombrelo::ForecastRecord record = convert(feed);
    ombrelo::ForecastDetails expected;
    expected.wind_dir = 0;
    expected.pressure = 10163;
    expected.sunset = 19 * 60 + 59;
    EXPECT_EQ(record.details, expected);
    ASSERT_EQ(record.hours.size(), ombrelo::max_hours);
    EXPECT_EQ(record.hours[23].temp, 69);
    EXPECT_EQ(record.hours[24].temp, ombrelo::no_temperature);
    EXPECT_EQ(record.hours[46].code, 47);
    EXPECT_EQ(record.hours[47].code, ombrelo::no_condition);
}

TEST(FeedDetails, TextsOfTheDetails)
{
    using ombrelo::read_clock_minutes;
    using ombrelo::read_tenths;
    const std::pair<const char16_t*, std::optional<int32_t>> clocks[] = { { u"12:00 am", 0 }, { u"12:30 pm", 750 },
        { u"7:01 am", 421 }, { u"11:59 pm", 1439 }, { u"0:10 am", std::nullopt }, { u"7:61 am", std::nullopt },
        { u"7:01", std::nullopt }, { u"7:01 am x", std::nullopt }, { u"7:01 xm", std::nullopt } };
    for (const auto& [text, minutes] : clocks)
        EXPECT_EQ(read_clock_minutes(text), minutes);
    const std::pair<const char16_t*, std::optional<int32_t>> decimals[] = { { u"1016.2", 10162 }, { u"0.05", 1 },
        { u"-3", -30 }, { u"", std::nullopt }, { u"1,5", std::nullopt }, { u"inf", std::nullopt },
        { u"1e99", std::nullopt } };
    for (const auto& [text, tenths] : decimals)
        EXPECT_EQ(read_tenths(text), tenths);
    EXPECT_FALSE(ombrelo::read_hour_time(u"2026-13-01T00:00"));
    EXPECT_FALSE(ombrelo::read_hour_time(u"2026-03-10 14:00"));
    EXPECT_TRUE(ombrelo::read_hour_time(u"2026-03-10T14:00"));
}

// Offline, the recorded hours move with the days and start at the city's current hour.
TEST(FeedDetails, OfflineHoursStartAtTheCurrentHour)
{
    ProviderForecast forecast = read(JsonReply::week().with_details());
    // Berlin (UTC+1 in the reply) on 2026-06-20 at 15:20 local time.
    OfflineProvider::move_to(forecast, berlin(), system_clock::time_point(sys_days(2026y / June / 20) + hours(14)
                                                     + minutes(20)));
    ASSERT_FALSE(forecast.hours.empty());
    EXPECT_EQ(forecast.hours.front().time, sys_days(2026y / June / 20) + hours(15));
    EXPECT_EQ(*forecast.details.sunrise, sys_days(2026y / June / 20) + hours(6) + minutes(41));
}
