// The feed's decoding and conversion, the date-time texts and the cache file's layout.
#include "daemon/DateTimeText.h"
#include "daemon/FeedText.h"
#include "daemon/ForecastCache.h"
#include "daemon/WeatherSettings.h"
#include "daemon/YahooFeed.h"

#include "runtime/Paths.h"
#include "runtime/Registry.h"

#include "platform/Clock.h"
#include "platform/HostPath.h"

#include "TestFeedServer.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace ombrelo;

namespace {

std::u16string decode(const std::string& bytes)
{
    return decode_feed_text(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

ByteBuffer buffer_of(const std::string& text)
{
    return ByteBuffer(text.data(), text.size());
}

int64_t count_of(int year, int month, int day, int hour, int minute, int second, int ms)
{
    platform::SystemTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.milliseconds = ms;
    int64_t count = 0;
    EXPECT_TRUE(platform::system_time_to_count(t, count));
    return count;
}

std::string downloads_folder()
{
    return platform::host_path(runtime::expand_path(u"%app_path%/downloads"));
}

} // namespace

TEST(FeedText, DecodesUntilTheFirstInvalidByte)
{
    struct Case {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        { "abc", u"abc" },
        { "\xC2\xB0", u"\u00B0" },
        { "\xE2\x82\xAC", u"\u20AC" },
        { "a\xF0\x9F\x98\x80z", std::u16string(u"a") + char16_t(0xF600) + u"z" }, // U+1F600 keeps its low 16 bits
        { "ok\x80rest", u"ok" },       // a continuation byte as lead
        { "ok\xFFrest", u"ok" },
        { "ok\xE2\x82", u"ok" },       // cut short
        { "ok\xE2\x41\xAC", u"ok" },   // not a continuation byte
        { "\xFE<rss/>", u"" },
        { "", u"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(decode(c.bytes), c.text) << c.bytes;
}

TEST(DateTimeText, WritesAndReadsTheCacheForm)
{
    int64_t afternoon = count_of(2009, 3, 10, 14, 5, 7, 250);
    EXPECT_EQ(date_time_text(afternoon), u"2009 03 10 14 05 07.250000");
    EXPECT_EQ(date_time_text(count_of(2009, 3, 11, 0, 0, 0, 0)), u"2009 03 11 00 00 00.000000");
    EXPECT_EQ(date_time_text(count_of(2009, 3, 11, 0, 0, 42, 5)), u"2009 03 11 00 00 42.005000");
    EXPECT_EQ(date_time_text(0), u"1601 01 01 00 00 00.000000");
    EXPECT_EQ(read_date_time_text(u"2009 03 10 14 05 07.250000"), afternoon);
    EXPECT_EQ(read_date_time_text(u"  2009 3 10 14 5 7.25 trailing"), afternoon);

    // Only white space separates the numbers; a '-' is the next number's sign.
    EXPECT_EQ(read_date_time_text(u"2009:03 10 14 05 07"), std::nullopt);
    EXPECT_EQ(read_date_time_text(u"2009/03/10 14 05 07"), std::nullopt);
    EXPECT_EQ(read_date_time_text(u"2009 03 10 14 05"), std::nullopt);
    EXPECT_EQ(read_date_time_text(u"2009-03 10 14 05 07.5"), int64_t(75'000'000)); // month -3: the seconds alone
    EXPECT_EQ(read_date_time_text(u"2009 02 30 00 00 01"), int64_t(10'000'000));
}

TEST(DateTimeText, OutsideTextsNeitherOverflowNorRoundIntoTheNextMinute)
{
    // The last 100 ns of a minute: whole microseconds, not a second 60.
    EXPECT_EQ(date_time_text(599'999'999), u"1601 01 01 00 00 59.999999");
    EXPECT_EQ(read_date_time_text(date_time_text(599'999'999)), int64_t(599'999'990));
    int64_t last_minute = count_of(30827, 12, 31, 23, 59, 0, 0);
    EXPECT_EQ(read_date_time_text(u"30827 12 31 23 59 59.5"), last_minute + 595'000'000);
    // Seconds that no count holds are malformed, as is a sum past the last count.
    for (std::u16string_view text : { u"2009 03 10 14 05 1e300", u"2009 03 10 14 05 -1e300", u"2009 03 10 14 05 0e999",
             u"2009 02 30 00 00 1e12", u"30827 12 31 23 59 1e11" })
        EXPECT_EQ(read_date_time_text(text), std::nullopt) << std::string(text.begin(), text.end());
    // Ages between counts as far apart as texts can make them are clamped.
    int64_t earliest = -(int64_t(1) << 62), latest = last_minute;
    EXPECT_EQ(minutes_between(earliest, latest), 2147483647);
    EXPECT_EQ(minutes_between(latest, earliest), -2147483647 - 1);
}

TEST(ForecastCache, TemperatureTexts)
{
    EXPECT_EQ(temperature_text(26, true), u"+26\u00B0");
    EXPECT_EQ(temperature_text(26, false), u"+78\u00B0"); // 78.8 truncated
    EXPECT_EQ(temperature_text(0, true), u"0\u00B0");
    EXPECT_EQ(temperature_text(-18, false), u"0\u00B0"); // -0.4 truncated toward zero
    EXPECT_EQ(temperature_text(-40, false), u"-40\u00B0");
    EXPECT_EQ(temperature_text(no_temperature, false), u"");
    // A feed's absurd values saturate.
    EXPECT_EQ(temperature_text(2'000'000'000, false), u"+2147483647\u00B0");
    EXPECT_EQ(temperature_text(-2'000'000'000, false), u"-2147483648\u00B0");
}

TEST(DateTimeText, ReadsTheFeedsDayDates)
{
    EXPECT_EQ(read_forecast_date(u"5 Mar 2009"), count_of(2009, 3, 5, 0, 0, 0, 0));
    EXPECT_EQ(read_forecast_date(u"31 Dec 2010 extra words"), count_of(2010, 12, 31, 0, 0, 0, 0));
    EXPECT_EQ(read_forecast_date(u"5 mar 2009"), 0); // month names match exactly
    EXPECT_EQ(read_forecast_date(u"31 Feb 2009"), 0);
    EXPECT_EQ(read_forecast_date(u"x5 Mar 2009"), 0);
    EXPECT_EQ(read_forecast_date(u""), 0);
    EXPECT_EQ(minutes_between(0, count_of(1601, 1, 1, 1, 0, 59, 0)), 60);
    EXPECT_EQ(minutes_between(0, count_of(2009, 1, 1, 0, 0, 0, 0)), 214587360); // a cache dated 0 is very old
    EXPECT_EQ(minutes_between(0, count_of(6000, 1, 1, 0, 0, 0, 0)), 2147483647); // clamped
    EXPECT_EQ(minutes_between(count_of(6000, 1, 1, 0, 0, 0, 0), 0), -2147483647 - 1);
}

TEST(YahooFeed, ReadsConditionAndEveryForecastInOrder)
{
    std::string feed = test_support::TestFeedServer::yahoo_feed(-3, 28, "10 Mar 2009 2:00 pm",
        { { "10 Mar 2009", 1, 7, 28 }, { "11 Mar 2009", -2, 4, 30 } });
    ForecastRecord record;
    EXPECT_TRUE(load_from_yahoo(record, buffer_of(feed)));
    EXPECT_FALSE(record.sample);
    EXPECT_EQ(record.temp, -3);
    EXPECT_EQ(record.code, 28);
    EXPECT_EQ(record.rdate, u"10 Mar 2009 2:00 pm");
    ASSERT_EQ(record.days.size(), 2u);
    EXPECT_EQ(record.days[0].date, count_of(2009, 3, 10, 0, 0, 0, 0));
    EXPECT_EQ(record.days[0].low, 1);
    EXPECT_EQ(record.days[0].high, 7);
    EXPECT_EQ(record.days[1].low, -2);
    EXPECT_EQ(record.days[1].code, 30);
}

TEST(YahooFeed, AnythingElseGivesTheDefaultRecord)
{
    const std::string feeds[] = {
        "",
        "\xFF<rss><channel><item><yweather:condition temp=\"5\"/></item></channel></rss>",
        "not xml at all",
        "<rss><channel><title>no item</title></channel></rss>",
        "<RSS><channel><item><yweather:condition temp=\"5\" code=\"3\"/></item></channel></RSS>",
        "<!DOCTYPE html><html><body><p>Service unavailable</p></body></html>",
        "<rss><channel><item><title>neither condition nor day</title></item></channel></rss>",
    };
    for (const std::string& feed : feeds) {
        ForecastRecord record;
        EXPECT_FALSE(load_from_yahoo(record, buffer_of(feed))) << feed;
        EXPECT_EQ(record.temp, no_temperature) << feed;
        EXPECT_EQ(record.code, no_condition) << feed;
        EXPECT_TRUE(record.rdate.empty()) << feed;
        EXPECT_TRUE(record.days.empty()) << feed;
    }
}

TEST(YahooFeed, MalformedAttributesKeepTheirDefaults)
{
    std::string feed = "<rss><channel><item>"
                       "<yweather:forecast date=\"5 mar 2009\" low=\"x\" high=\"12abc\"/>"
                       "<yweather:condition temp=\"\" code=\"+7\"/>"
                       "</item></channel></rss>";
    ForecastRecord record;
    EXPECT_TRUE(load_from_yahoo(record, buffer_of(feed)));
    EXPECT_EQ(record.temp, no_temperature);
    EXPECT_EQ(record.code, 7);
    ASSERT_EQ(record.days.size(), 1u);
    EXPECT_EQ(record.days[0].date, 0);
    EXPECT_EQ(record.days[0].low, no_temperature);
    EXPECT_EQ(record.days[0].high, 12);
    EXPECT_EQ(record.days[0].code, no_condition);
}

class CacheFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(downloads_folder());
        std::filesystem::create_directories(downloads_folder());
        runtime::delete_key(weather_key);
    }
    void TearDown() override { std::filesystem::remove_all(downloads_folder()); }

    static std::string file_of(const std::string& code)
    {
        auto bytes = test_support::read_bytes(downloads_folder() + "/_" + code + ".xml");
        return std::string(bytes.begin(), bytes.end());
    }
};

TEST_F(CacheFile, HasTheLayoutTheApplicationReads)
{
    ForecastRecord record;
    record.city_code = u"ABCD0001";
    record.rdate = u"10 Mar 2009 2:00 pm";
    record.date = count_of(2009, 3, 10, 14, 5, 7, 250);
    record.temp = 5;
    record.code = 28;
    record.days.push_back(DayForecast { count_of(2009, 3, 10, 0, 0, 0, 0), 7, 1, 28 });
    record.days.push_back(DayForecast {});
    save_to_xml(record);
    EXPECT_EQ(file_of("ABCD0001"),
        "<Main><Create date=\"2009 03 10 14 05 07.250000\" rdate=\"10 Mar 2009 2:00 pm\"/>"
        "<Current city=\"\" city_code=\"ABCD0001\" temp=\"5\" code=\"28\"><Weathers>"
        "<Weather date=\"2009 03 10 00 00 00.000000\" code=\"28\" high=\"7\" low=\"1\"/>"
        "<Weather date=\"1601 01 01 00 00 00.000000\" code=\"-1\" high=\"-1000\" low=\"-1000\"/>"
        "</Weathers></Current></Main>");
    record.sample = true;
    save_to_xml(record);
    EXPECT_EQ(file_of("ABCD0001").rfind(
                  "<Main><Create date=\"2009 03 10 14 05 07.250000\" rdate=\"10 Mar 2009 2:00 pm\" sample=\"1\"/><Current ", 0),
        0u);
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(downloads_folder()), std::filesystem::directory_iterator()), 1);
}

TEST_F(CacheFile, TopCityPublishesItsCurrentCondition)
{
    struct Case {
        int temp;
        int degree; // -1: missing
        std::u16string text;
    } cases[] = {
        { -3, 1, u"-3\u00B0" },
        { -3, 0, u"+26\u00B0" },
        { 0, 1, u"0\u00B0" },
        { 0, 0, u"+32\u00B0" },
        { -18, 0, u"0\u00B0" },   // -0.4 truncated toward zero
        { 25, -1, u"+25\u00B0" }, // Celsius when missing
        { no_temperature, 1, u"" },
    };
    for (const Case& c : cases) {
        runtime::delete_key(weather_key);
        runtime::write_string(weather_key, u"Top", u"ABCD0001");
        if (c.degree >= 0)
            runtime::write_number(weather_key, u"Degree", uint32_t(c.degree));
        ForecastRecord record;
        record.city_code = u"ABCD0001";
        record.temp = c.temp;
        store_forecast(record);
        std::u16string text;
        uint32_t code = 0;
        EXPECT_TRUE(runtime::read_string(weather_key, u"TopTemp", text));
        EXPECT_EQ(text, c.text) << c.temp << " " << c.degree;
        EXPECT_TRUE(runtime::read_number(weather_key, u"TopCode", code));
        EXPECT_EQ(code, 0xFFFFFFFFu);
    }
}

TEST_F(CacheFile, OtherCitiesLeaveTheRegistryAlone)
{
    runtime::write_string(weather_key, u"Top", u"ZZZZ0009");
    ForecastRecord record;
    record.city_code = u"ABCD0001";
    record.temp = 20;
    store_forecast(record);
    std::u16string text;
    EXPECT_FALSE(runtime::read_string(weather_key, u"TopTemp", text));
    EXPECT_FALSE(file_of("ABCD0001").empty());
}

TEST_F(CacheFile, MissingFolderStillPublishes)
{
    std::filesystem::remove_all(downloads_folder());
    runtime::write_string(weather_key, u"Top", u"ABCD0001");
    ForecastRecord record;
    record.city_code = u"ABCD0001";
    record.temp = 3;
    store_forecast(record);
    std::u16string text;
    EXPECT_TRUE(runtime::read_string(weather_key, u"TopTemp", text));
    EXPECT_EQ(text, u"+3\u00B0");
    EXPECT_FALSE(std::filesystem::exists(downloads_folder()));
}

// The details and hours follow what the older file holds, only where the record has some.
TEST_F(CacheFile, DetailsAndHoursAreChildrenAfterTheOlderOnes)
{
    ForecastRecord record;
    record.city_code = u"ABCD0001";
    record.date = count_of(2026, 3, 10, 14, 5, 7, 250);
    record.details.feels = -3;
    record.details.pressure = 10162;
    record.details.sunset = 1087;
    for (int i = 0; i < 60; ++i)
        record.hours.push_back({ count_of(2026, 3, 10, 0, 0, 0, 0) + i * 36'000'000'000LL, i, 11,
            i == 0 ? std::optional<int32_t>(42) : std::nullopt });
    save_to_xml(record);
    std::string file = file_of("ABCD0001");
    EXPECT_EQ(file.rfind("<Main><Create date=\"2026 03 10 14 05 07.250000\" rdate=\"\"/><Current city=\"\" "
                         "city_code=\"ABCD0001\" temp=\"-1000\" code=\"-1\"><Weathers/></Current>"
                         "<Details feels=\"-3\" pressure=\"10162\" sunset=\"1087\"/><Hours>"
                         "<Hour date=\"2026 03 10 00 00 00.000000\" code=\"11\" temp=\"0\" rain_chance=\"42\"/>"
                         "<Hour date=\"2026 03 10 01 00 00.000000\" code=\"11\" temp=\"1\"/>",
                  0),
        0u)
        << file;
    // Bounded: 48 hours at most, a few kilobytes.
    size_t hours = 0;
    for (size_t at = file.find("<Hour "); at != std::string::npos; at = file.find("<Hour ", at + 1))
        ++hours;
    EXPECT_EQ(hours, max_hours);
    EXPECT_LT(file.size(), 4096u);
}
