// The page read aloud, in each shipped language, from one fixed cache file: the words
// come from the language files the build writes into the program folder.
#include "app/CacheFileReader.h"
#include "app/SpokenForecast.h"

#include "platform/Clock.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>
#include <regex>

using namespace weather;

namespace {

// Berlin on 10 March 2009: heavy showers (12) now and today, mostly sunny (34) tomorrow.
std::string cache(const std::string& temp)
{
    return "<Main><Create date=\"2009 03 10 14 05 07.250000\" rdate=\"\"/><Current city=\"\" city_code=\"02950159\" temp=\""
        + temp + "\" code=\"12\"><Weathers>"
          "<Weather date=\"2009 03 10 00 00 00.000000\" code=\"12\" high=\"4\" low=\"-2\"/>"
          "<Weather date=\"2009 03 11 00 00 00.000000\" code=\"34\" high=\"9\" low=\"2\"/>"
          "</Weathers></Current></Main>";
}

int64_t march_10_at_3pm()
{
    platform::SystemTime t;
    t.year = 2009;
    t.month = 3;
    t.day = 10;
    t.hour = 15;
    int64_t count = 0;
    platform::system_time_to_count(t, count);
    return count;
}

skin::LanguageTable language(const std::string& name)
{
    skin::LanguageTable table;
    EXPECT_TRUE(table.load(platform::from_utf8(std::string(NALO_PROGRAM_DIR) + "/" + name + ".lng"))) << name;
    return table;
}

TEST(SpokenForecast, EveryLanguageReadsThePage)
{
    struct Case {
        const char* language;
        const char* temp;
        bool celsius;
        const char* spoken;
    };
    const Case cases[] = {
        { "english", "4", true, "Berlin: Heavy showers, 4 degrees; today between minus 2 and 4; tomorrow Mostly sunny, up to 9" },
        { "english", "-3", true, "Berlin: Heavy showers, minus 3 degrees; today between minus 2 and 4; tomorrow Mostly sunny, up to 9" },
        { "english", "4", false, "Berlin: Heavy showers, 39 degrees; today between 28 and 39; tomorrow Mostly sunny, up to 48" },
        { "german", "4", true, "Berlin: Starke Schauer, 4 Grad; heute zwischen minus 2 und 4; morgen Überwiegend sonnig, bis 9" },
        { "german", "-3", false, "Berlin: Starke Schauer, 26 Grad; heute zwischen 28 und 39; morgen Überwiegend sonnig, bis 48" },
        { "russian", "4", true, "Berlin: Сильные ливни, температура 4; сегодня от минус 2 до 4; завтра Преимущественно солнечно, до 9" },
        { "russian", "-3", true, "Berlin: Сильные ливни, температура минус 3; сегодня от минус 2 до 4; завтра Преимущественно солнечно, до 9" },
    };
    for (const Case& c : cases) {
        CityRecord record;
        record.name = u"Berlin, Berlin, Germany";
        record.code = u"02950159";
        std::string xml = cache(c.temp);
        ASSERT_TRUE(load_from_xml(record, xml.data(), xml.size()));
        std::u16string spoken = spoken_forecast(language(c.language), record, c.celsius, march_10_at_3pm());
        EXPECT_EQ(platform::to_utf8(spoken), c.spoken) << c.language << " " << c.temp;
    }
}

TEST(SpokenForecast, MissingPartsAreLeftOut)
{
    skin::LanguageTable english = language("english");
    CityRecord record;
    record.name = u"Tokyo, Tokyo, Japan";
    EXPECT_EQ(platform::to_utf8(spoken_forecast(english, record, true, march_10_at_3pm())), "Tokyo: no forecast yet");

    // A forecast of other days than today and tomorrow: only the current condition.
    std::string xml = cache("21");
    ASSERT_TRUE(load_from_xml(record, xml.data(), xml.size()));
    int64_t a_week_later = march_10_at_3pm() + 7LL * 24 * 3600 * platform::units_per_second;
    EXPECT_EQ(platform::to_utf8(spoken_forecast(english, record, true, a_week_later)), "Tokyo: Heavy showers, 21 degrees");
    record.condition = no_condition;
    EXPECT_EQ(platform::to_utf8(spoken_forecast(english, record, true, a_week_later)), "Tokyo: 21 degrees");
    record.days[1].condition = no_condition;
    EXPECT_EQ(platform::to_utf8(spoken_forecast(english, record, true, march_10_at_3pm())),
        "Tokyo: 21 degrees; today between minus 2 and 4; tomorrow, up to 9");
    // The device still on 9 March at 23:00, the city already on the 10th: its first day is its today.
    int64_t the_evening_before = march_10_at_3pm() - 16LL * 3600 * platform::units_per_second;
    EXPECT_EQ(platform::to_utf8(spoken_forecast(english, record, true, the_evening_before)),
        "Tokyo: 21 degrees; today between minus 2 and 4; tomorrow, up to 9");
}

} // namespace
