// The feed as the daemon reads it: written by forecastd, converted by Ombrelo's own
// feed conversion; and the dates and degrees it carries.
#include "forecastd/FeedWriter.h"
#include "forecastd/OfflineProvider.h"
#include "forecastd/ProviderReply.h"
#include "forecastd/WmoConditions.h"

#include "daemon/YahooFeed.h"

#include "platform/Clock.h"

#include "ProviderJson.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

using namespace forecastd;
using namespace std::chrono;
using forecastd_test::JsonReply;
using forecastd_test::berlin;
using forecastd_test::convert;
using forecastd_test::read;

namespace {

platform::SystemTime parts(int64_t count)
{
    return platform::count_to_system_time(count);
}

} // namespace

TEST(Feed, TheDaemonReadsEveryDay)
{
    PlaceInfo place = berlin();
    place.name = "Bad <Name> & \"Quotes\", Berlin, Germany";
    std::string feed = write_feed(place, read(JsonReply::week()), {});
    ombrelo::ForecastRecord record = convert(feed);
    EXPECT_EQ(record.temp, 5);
    EXPECT_EQ(record.code, 26);
    EXPECT_EQ(record.rdate, u"Tue, 10 Mar 2026 2:00 pm CET");
    ASSERT_EQ(record.days.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        platform::SystemTime date = parts(record.days[size_t(i)].date);
        EXPECT_EQ(date.year, 2026);
        EXPECT_EQ(date.month, 3);
        EXPECT_EQ(date.day, 10 + i);
        EXPECT_EQ(record.days[size_t(i)].high, int(std::lround(8.4 + i)));
        EXPECT_EQ(record.days[size_t(i)].low, int(std::lround(-1.6 + i)));
        EXPECT_EQ(record.days[size_t(i)].code, i == 0 ? 26 : 11);
    }
    EXPECT_NE(feed.find("<title>Weather - Bad &lt;Name&gt; &amp; &quot;Quotes&quot;, Berlin, Germany</title>"),
        std::string::npos);
    EXPECT_NE(feed.find("<yweather:location city=\"Berlin\" region=\"Berlin\" country=\"Germany\"/>"),
        std::string::npos);
    EXPECT_EQ(feed.find("sample data"), std::string::npos);
    EXPECT_NE(write_feed(place, read(JsonReply::week()), { false, true }).find("(sample data)</title>"),
        std::string::npos);
}

TEST(Feed, DegreesInTheUnitAsked)
{
    EXPECT_EQ(whole_degrees(-3.5, TemperatureUnit::celsius, false), -4); // half away from zero
    EXPECT_EQ(whole_degrees(2.5, TemperatureUnit::celsius, false), 3);
    EXPECT_EQ(whole_degrees(-40, TemperatureUnit::celsius, true), -40);
    EXPECT_EQ(whole_degrees(21.4, TemperatureUnit::celsius, true), 71);   // 70.52
    EXPECT_EQ(whole_degrees(70.5, TemperatureUnit::fahrenheit, true), 71);
    EXPECT_EQ(whole_degrees(70.5, TemperatureUnit::fahrenheit, false), 21); // 21.39
    EXPECT_EQ(whole_degrees(12.6, TemperatureUnit::as_asked, true), 13);

    JsonReply json = JsonReply::week();
    json.unit = "\u00B0F";
    json.temperature = 41.0;
    std::string feed = write_feed(berlin(), read(json), { true, false });
    EXPECT_NE(feed.find("temperature=\"F\""), std::string::npos);
    EXPECT_NE(feed.find("temp=\"41\""), std::string::npos);
    EXPECT_NE(feed.find("low=\"-2\" high=\"8\""), std::string::npos) << feed;
}

TEST(Feed, DatesInTheOldServicesStyle)
{
    sys_seconds monday = sys_days(2012y / July / 23) + hours(0) + minutes(5);
    EXPECT_EQ(condition_date_text(monday, "PDT"), "Mon, 23 Jul 2012 12:05 am PDT");
    EXPECT_EQ(condition_date_text(monday + hours(11) + minutes(42), "PDT"), "Mon, 23 Jul 2012 11:47 am PDT");
    EXPECT_EQ(condition_date_text(monday + hours(12), "PDT"), "Mon, 23 Jul 2012 12:05 pm PDT");
    EXPECT_EQ(condition_date_text(monday + hours(23) + minutes(54), "GMT+13"), "Mon, 23 Jul 2012 11:59 pm GMT+13");
    EXPECT_EQ(forecast_date_text(2009y / March / 5), "5 Mar 2009");
    EXPECT_EQ(forecast_date_text(2012y / December / 31), "31 Dec 2012");
}

TEST(Feed, EveryWmoCodeDayAndNight)
{
    std::set<int> seen;
    for (int wmo : known_wmo_codes()) {
        Condition day = condition_for(wmo, true);
        Condition night = condition_for(wmo, false);
        EXPECT_GE(day.code, 0) << wmo;
        EXPECT_LE(day.code, 47) << wmo;
        EXPECT_GE(night.code, 0) << wmo;
        EXPECT_LE(night.code, 47) << wmo;
        seen.insert(wmo);
    }
    EXPECT_EQ(seen.size(), 28u);
    EXPECT_EQ(condition_for(4, true).code, condition_not_available);
    EXPECT_EQ(condition_for(100, false).code, condition_not_available);
}

// Recorded replies are moved so that the first day is the city's today, also when the
// city's date is already tomorrow, or still yesterday, against UTC.
TEST(OfflineProvider, TodayIsTheCitysToday)
{
    struct Case {
        const char* what;
        int offset;
        sys_seconds now_utc;
        year_month_day today;
        const char* time;
    };
    sys_days utc_day = sys_days(2026y / June / 20);
    const Case cases[] = {
        { "Apia, UTC+13, already tomorrow", 13 * 3600, utc_day + hours(11) + minutes(7), 2026y / June / 21,
            "Sun, 21 Jun 2026 12:00 am +13" },
        { "Honolulu, UTC-10, still yesterday", -10 * 3600, utc_day + hours(5) + minutes(59), 2026y / June / 19,
            "Fri, 19 Jun 2026 7:45 pm HST" },
        { "Berlin in summer", 2 * 3600, utc_day + hours(21) + minutes(59), 2026y / June / 20,
            "Sat, 20 Jun 2026 11:45 pm CEST" },
        { "Berlin past midnight", 2 * 3600, utc_day + hours(22) + minutes(1), 2026y / June / 21,
            "Sun, 21 Jun 2026 12:00 am CEST" },
    };
    for (const Case& c : cases) {
        JsonReply json = JsonReply::week(); // recorded in March
        json.utc_offset = c.offset;
        json.zone = std::string(c.time).substr(std::string(c.time).rfind(' ') + 1);
        ProviderForecast forecast = read(json);
        OfflineProvider::move_to(forecast, berlin(), system_clock::time_point(c.now_utc));
        EXPECT_EQ(forecast.days.front().date, c.today) << c.what;
        EXPECT_EQ(sys_days(forecast.days.back().date) - sys_days(c.today), days(6)) << c.what;
        EXPECT_EQ(condition_date_text(forecast.current_time, forecast.time_zone_abbreviation), c.time) << c.what;
        EXPECT_GE(forecast.current_temperature, forecast.days.front().low) << c.what;
        EXPECT_LE(forecast.current_temperature, forecast.days.front().high) << c.what;
    }
    // Berlin at noon UTC in June is day, at midnight UTC night.
    ProviderForecast forecast = read(JsonReply::week());
    OfflineProvider::move_to(forecast, berlin(), system_clock::time_point(utc_day + hours(12)));
    EXPECT_TRUE(forecast.is_day);
    OfflineProvider::move_to(forecast, berlin(), system_clock::time_point(utc_day + hours(0)));
    EXPECT_FALSE(forecast.is_day);
}
