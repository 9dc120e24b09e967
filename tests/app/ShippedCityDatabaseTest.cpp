// The city database the build ships, read back with the application's own reader.
#include "app/CityDatabase.h"

#include "platform/CaseFolding.h"
#include "platform/TextEncoding.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>

using weather::CityDatabase;

TEST(ShippedCityDatabase, EveryGeoNamesCityOnceSortedByName)
{
    const std::string program = NALO_PROGRAM_DIR;
    // make-citydb writes places.tsv in the same run, one line per city.
    std::ifstream places(program + "/places.tsv");
    ASSERT_TRUE(places);
    size_t place_count = 0;
    for (std::string line; std::getline(places, line);)
        place_count += !line.empty() && line[0] != '#';

    CityDatabase database;
    std::string path = program + "/codes.dat";
    ASSERT_TRUE(database.open(platform::from_utf8(path)));
    EXPECT_EQ(size_t(database.count()), place_count);
    ASSERT_EQ(database.read_all(), place_count);
    EXPECT_GE(database.size(), 24000u); // libgeonames' cities of 15,000 people or more
    EXPECT_LE(database.size(), CityDatabase::max_entries);

    std::set<std::u16string> codes, names;
    std::map<std::u16string, std::u16string> by_name;
    std::u16string previous;
    std::set<char16_t> first_letters;
    for (const auto& entry : database.entries()) {
        ASSERT_EQ(entry.code.size(), 8u) << platform::to_utf8(entry.name);
        for (char16_t c : entry.code)
            ASSERT_TRUE(c >= u'0' && c <= u'9') << platform::to_utf8(entry.code);
        EXPECT_TRUE(codes.insert(entry.code).second) << "code twice: " << platform::to_utf8(entry.code);
        EXPECT_TRUE(names.insert(entry.name).second) << "name twice: " << platform::to_utf8(entry.name);
        by_name[entry.name] = entry.code;
        // The alphabet ruler lists first letters in file order: each letter's names stand
        // together, in order within.
        std::u16string key = platform::to_lower(entry.name);
        char16_t first = key.empty() ? 0 : key[0];
        if (!previous.empty() && previous[0] == first)
            EXPECT_LE(previous, key) << platform::to_utf8(entry.name);
        else
            EXPECT_TRUE(first_letters.insert(first).second) << "a second run of " << platform::to_utf8(entry.name);
        previous = key;
    }
    // Plain letters first, each before its accented forms; signs and digits last.
    std::u16string order;
    for (const auto& entry : database.entries()) {
        char16_t first = platform::to_lower(entry.name)[0];
        if (order.empty() || order.back() != first)
            order += first;
    }
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order[0], u'a');
    EXPECT_LT(order.find(u'a'), order.find(u'\u00E5')) << "a before å";
    EXPECT_LT(order.find(u'\u00E5'), order.find(u'b')) << "å with a, before b";
    EXPECT_LT(order.find(u'z'), order.find(u'\'')) << "signs after the letters";
    EXPECT_EQ(by_name[u"Berlin, Berlin, Germany"], u"02950159");
    EXPECT_EQ(by_name[u"S\u00E3o Paulo, S\u00E3o Paulo, Brazil"], u"03448439");
    EXPECT_EQ(by_name[u"Tokyo, Tokyo, Japan"], u"01850147");
    EXPECT_EQ(by_name[u"Springfield, Illinois, United States of America"], u"04250542");
}
