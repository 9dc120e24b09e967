// The cache file reader and its number and date-time readers, and the temperature text.
#include "AppTestSupport.h"

#include "app/AttributeText.h"
#include "app/CacheFileReader.h"
#include "app/TemperatureText.h"

#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace weather;
using namespace app_test;

namespace {

int64_t count_of(int y, int mo, int d, int h, int mi, int s, int ms)
{
    platform::SystemTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    t.milliseconds = ms;
    int64_t count = 0;
    EXPECT_TRUE(platform::system_time_to_count(t, count));
    return count;
}

bool load(CityRecord& record, const std::string& xml)
{
    return load_from_xml(record, xml.data(), xml.size());
}

TEST(AttributeText, IntegersReadUpToTheFirstNonDigit)
{
    struct Case {
        const char16_t* text;
        bool read;
        int32_t value;
    } cases[] = {
        { u"30", true, 30 },
        { u"30.5", true, 30 },
        { u"  -7 degrees", true, -7 },
        { u"\t+12", true, 12 },
        { u"0", true, 0 },
        { u"-0", true, 0 },
        { u"", false, 99 },
        { u"   ", false, 99 },
        { u"-", false, 99 },
        { u"+-3", false, 99 },
        { u"x3", false, 99 },
        { u".5", false, 99 },
        { u"2147483647", true, 2147483647 },
        { u"-2147483648", true, std::numeric_limits<int32_t>::min() },
        { u"99999999999999999999", true, std::numeric_limits<int32_t>::max() }, // held at the bound
        { u"-99999999999999999999", true, std::numeric_limits<int32_t>::min() },
    };
    for (const Case& c : cases) {
        int32_t value = 99;
        EXPECT_EQ(read_integer(c.text, value), c.read) << utf8(c.text);
        EXPECT_EQ(value, c.value) << utf8(c.text);
    }
}

TEST(AttributeText, DateTimesAreSixNumbersSeparatedByWhiteSpace)
{
    int64_t afternoon = count_of(2009, 3, 10, 14, 5, 7, 250);
    struct Case {
        const char16_t* text;
        bool read;
        int64_t value;
    } cases[] = {
        { u"2009 03 10 14 05 07.250000", true, afternoon },
        { u"  2009 3 10 14 5 7.25 and more", true, afternoon },
        { u"2009 03 10 14 05 0.725e1", true, afternoon },
        { u"2009 03 10 14 05 725E-2", true, afternoon },
        { u"2009 03 10 14 05 07", true, count_of(2009, 3, 10, 14, 5, 7, 0) },
        { u"2009 03 10 14 05 .5", true, count_of(2009, 3, 10, 14, 5, 0, 500) },
        { u"2009 03 10 14 05 07e", true, count_of(2009, 3, 10, 14, 5, 7, 0) }, // a bare "e" is no exponent
        // A "-" is the next number's sign: month -3 is no calendar time, so the seconds alone.
        { u"2009-03 10 14 05 07.5", true, 75'000'000 },
        { u"2009 02 30 00 00 01", true, 10'000'000 },
        { u"2009 03 10 24 00 00", true, 0 },
        { u"1600 12 31 23 59 02", true, 20'000'000 },
        // Any other separator fails.
        { u"2009:03:10 14:05:07", false, 42 },
        { u"2009/03/10 14 05 07", false, 42 },
        { u"2009 03 10 14 05", false, 42 },
        { u"2009 03 10 14 05 x", false, 42 },
        { u"2009 03 10 14 05 .", false, 42 },
        { u"", false, 42 },
        // Seconds that leave the 64-bit count, or are no number at all.
        { u"2009 03 10 14 05 1e300", false, 42 },
        { u"2009 03 10 14 05 1e99999999999", false, 42 },
        { u"2009 03 10 14 05 -1e15", false, 42 },
        { u"30827 12 31 23 59 59.999", true, count_of(30827, 12, 31, 23, 59, 59, 999) },
        { u"30827 12 31 23 59 9e11", false, 42 },
        { u"2009 03 10 14 05 inf", false, 42 },
        { u"2009 03 10 14 05 nan", false, 42 },
        { u"2009 03 10 14 05 1e-400", true, count_of(2009, 3, 10, 14, 5, 0, 0) },
    };
    for (const Case& c : cases) {
        int64_t value = 42;
        EXPECT_EQ(read_date_time(c.text, value), c.read) << utf8(c.text);
        EXPECT_EQ(value, c.value) << utf8(c.text);
    }
}

TEST(TemperatureText, SignValueAndDegree)
{
    EXPECT_EQ(temperature_text(21, true), u"+21\u00B0");
    EXPECT_EQ(temperature_text(0, true), u"0\u00B0");
    EXPECT_EQ(temperature_text(-3, true), u"-3\u00B0");
    EXPECT_EQ(temperature_text(21, false), u"+69\u00B0");   // 69.8 truncated
    EXPECT_EQ(temperature_text(-3, false), u"+26\u00B0");   // 26.6
    EXPECT_EQ(temperature_text(-18, false), u"0\u00B0");    // -0.4 truncated toward zero
    EXPECT_EQ(temperature_text(-40, false), u"-40\u00B0");
    EXPECT_EQ(temperature_text(-1000, true), u"-1000\u00B0");
    EXPECT_EQ(temperature_text(std::numeric_limits<int32_t>::max(), false), u"+2147483647\u00B0");
    EXPECT_EQ(temperature_text(std::numeric_limits<int32_t>::min(), false), u"-2147483648\u00B0");
}

TEST(CacheFileReader, ReadsTheDaemonsFile)
{
    CityRecord record;
    record.code = u"ABCD0001";
    ASSERT_TRUE(load(record,
        "<Main><Create date=\"2009 03 10 14 05 07.250000\" rdate=\"10 Mar 2009 2:00 pm\"/>"
        "<Current city=\"Somewhere\" city_code=\"ABCD0001\" temp=\"5\" code=\"28\"><Weathers>"
        "<Weather date=\"2009 03 10 00 00 00.000000\" code=\"28\" high=\"7\" low=\"1\"/>"
        "<Weather date=\"2009 03 11 00 00 00.000000\" code=\"30\" high=\"30.5\" low=\"-2\"/>"
        "</Weathers></Current></Main>"));
    EXPECT_EQ(record.request_date, count_of(2009, 3, 10, 14, 5, 7, 250));
    EXPECT_EQ(record.rdate, u"10 Mar 2009 2:00 pm");
    EXPECT_EQ(record.name, u"Somewhere"); // taken only because the name was empty
    EXPECT_EQ(record.temperature, 5);
    EXPECT_EQ(record.condition, 28);
    ASSERT_EQ(record.days.size(), 2u);
    EXPECT_EQ(record.days[0], (DayForecast { count_of(2009, 3, 10, 0, 0, 0, 0), 7, 1, 28 }));
    EXPECT_EQ(record.days[1], (DayForecast { count_of(2009, 3, 11, 0, 0, 0, 0), 30, -2, 30 }));
    EXPECT_FALSE(record.need_reload);
}

TEST(CacheFileReader, WhatIsMissingOrUnreadableKeepsTheField)
{
    CityRecord record;
    record.name = u"Berlin";
    record.code = u"02950159";
    record.request_date = 777;
    record.rdate = u"old";
    record.temperature = 12;
    record.condition = 4;
    record.days.push_back({ 1, 2, 3, 4 });
    ASSERT_TRUE(load(record,
        "<Main><Create date=\"2009:03:10 14:05:07\"/><Current city=\"Other\" city_code=\"../../etc\" temp=\"warm\">"
        "<Weathers><!-- no day --><Weather/><Weather date=\"x\" code=\"47\" high=\"\" low=\"-3\"/>"
        "</Weathers></Current></Main>"));
    EXPECT_EQ(record.name, u"Berlin");
    EXPECT_EQ(record.code, u"02950159"); // foreign text never becomes a city code
    EXPECT_EQ(record.request_date, 777);
    EXPECT_EQ(record.rdate, u"old");
    EXPECT_EQ(record.temperature, 12);
    EXPECT_EQ(record.condition, 4);
    ASSERT_EQ(record.days.size(), 2u); // the list is emptied first; the comment is no day
    EXPECT_EQ(record.days[0], DayForecast());
    EXPECT_EQ(record.days[1], (DayForecast { 0, no_temperature, -3, 47 }));

    // Without "Main" (or as no XML at all) nothing changes.
    CityRecord before = record;
    const std::string unread[] = {
        "",
        "<Main>",
        "<Weather><Main/></Weather>",
        "<?Main?><!--Main--><main/>",
        "plain text",
        "<Main><Current temp=\"1\"/></Main><",
    };
    for (const std::string& bytes : unread) {
        EXPECT_FALSE(load(record, bytes)) << bytes;
        EXPECT_EQ(record.temperature, before.temperature) << bytes;
        EXPECT_EQ(record.days.size(), before.days.size()) << bytes;
    }

    // "Weathers" belongs under "Current"; a "Main" without it empties the days.
    ASSERT_TRUE(load(record, "<Main><Weathers><Weather code=\"1\"/></Weathers><Current temp=\"-4\"/></Main>"));
    EXPECT_TRUE(record.days.empty());
    EXPECT_EQ(record.temperature, -4);
}

class CacheFile : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }
};

TEST_F(CacheFile, IsFoundByTheRecordsCode)
{
    write_cache("02950159", cache_xml("02950159", "2009 03 10 14 05 07.250000", -3, 11, 7));
    CityRecord record;
    record.code = u"02950159";
    ASSERT_TRUE(load_from_xml(record));
    EXPECT_EQ(record.temperature, -3);
    EXPECT_EQ(record.condition, 11);
    EXPECT_EQ(record.days.size(), 7u); // all are kept; the page shows five

    CityRecord missing;
    missing.code = u"03143244";
    missing.temperature = 8;
    EXPECT_FALSE(load_from_xml(missing));
    EXPECT_EQ(missing.temperature, 8);

    // A code that is not a city code names no file.
    CityRecord odd;
    odd.code = u"../_02950159";
    EXPECT_FALSE(load_from_xml(odd));
    EXPECT_EQ(odd.temperature, no_temperature);
}

TEST_F(CacheFile, LargerThanOneMebibyteIsNotRead)
{
    std::string xml = cache_xml("02950159", "2009 03 10 14 05 07.250000", 15, 11, 1);
    std::string padded = xml + std::string((1 << 20) - xml.size() + 1, ' ');
    write_cache("02950159", padded);
    CityRecord record;
    record.code = u"02950159";
    EXPECT_FALSE(load_from_xml(record));
    EXPECT_EQ(record.temperature, no_temperature);

    padded.pop_back(); // exactly 1 MiB is still read
    write_cache("02950159", padded);
    EXPECT_TRUE(load_from_xml(record));
    EXPECT_EQ(record.temperature, 15);
}

} // namespace

// The details and hours the daemon adds: a file without them reads as before and leaves
// none of an earlier forecast's; every value out of range is none; at most 48 hours.
TEST(CacheFileReader, DetailsAndHoursAreOptionalAndRangeChecked)
{
    const std::string older = "<Main><Create date=\"2026 03 10 14 05 07.250000\" rdate=\"\"/><Current city=\"\" "
                              "city_code=\"02950159\" temp=\"5\" code=\"26\"><Weathers>"
                              "<Weather date=\"2026 03 10 00 00 00.000000\" code=\"26\" high=\"8\" low=\"-2\"/>"
                              "</Weathers></Current>";
    CityRecord record;
    ASSERT_TRUE(load(record, older + "<Details feels=\"-3\" wind=\"14\" wind_dir=\"238\" humidity=\"81\" "
                                     "pressure=\"10162\" rain=\"12\" rain_chance=\"60\" uv=\"35\" sunrise=\"401\" "
                                     "sunset=\"1087\"/><Hours>"
                                     "<Hour date=\"2026 03 10 14 00 00.000000\" code=\"11\" temp=\"14\" rain_chance=\"42\"/>"
                                     "<Hour date=\"2026 03 10 15 00 00.000000\" code=\"48\" temp=\"71\" rain_chance=\"101\"/>"
                                     "<Hour date=\"x\" code=\"11\" temp=\"1\"/><Weather/>"
                                     "</Hours></Main>"));
    EXPECT_EQ(record.details, (ombrelo::ForecastDetails { -3, 14, 238, 81, 10162, 12, 60, 35, 401, 1087 }));
    ASSERT_EQ(record.hours.size(), 2u);
    EXPECT_EQ(record.hours[0], (ombrelo::HourForecast { count_of(2026, 3, 10, 14, 0, 0, 0), 14, 11, 42 }));
    EXPECT_EQ(record.hours[1], (ombrelo::HourForecast { count_of(2026, 3, 10, 15, 0, 0, 0), no_temperature,
                                   no_condition, std::nullopt }));
    // The days read as they did without the new children.
    CityRecord plain;
    ASSERT_TRUE(load(plain, older + "</Main>"));
    EXPECT_EQ(plain.days, record.days);
    EXPECT_EQ(plain.temperature, record.temperature);
    // A newer file without them clears what the older one had.
    ASSERT_TRUE(load(record, older + "</Main>"));
    EXPECT_TRUE(record.details.empty());
    EXPECT_TRUE(record.hours.empty());

    struct Case {
        const char* attribute;
        std::optional<int32_t> ombrelo::ForecastDetails::*member;
        const char* value;
    } out_of_range[] = {
        { "feels", &ombrelo::ForecastDetails::feels, "-101" },
        { "wind", &ombrelo::ForecastDetails::wind, "-1" },
        { "wind_dir", &ombrelo::ForecastDetails::wind_dir, "360" },
        { "humidity", &ombrelo::ForecastDetails::humidity, "100000000000" },
        { "pressure", &ombrelo::ForecastDetails::pressure, "7999" },
        { "uv", &ombrelo::ForecastDetails::uv, "x" },
        { "sunrise", &ombrelo::ForecastDetails::sunrise, "1440" },
    };
    for (const Case& c : out_of_range) {
        ASSERT_TRUE(load(record, older + "<Details " + c.attribute + "=\"" + c.value + "\" rain_chance=\"50\"/></Main>"));
        EXPECT_EQ(record.details.*c.member, std::nullopt) << c.attribute;
    }
    std::string many = older + "<Hours>";
    for (int i = 0; i < 100; ++i)
        many += "<Hour date=\"2026 03 10 14 00 00.000000\" code=\"1\" temp=\"1\"/>";
    ASSERT_TRUE(load(record, many + "</Hours></Main>"));
    EXPECT_EQ(record.hours.size(), ombrelo::max_hours);
}
