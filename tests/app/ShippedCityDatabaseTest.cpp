// The city database the build ships, read back with the application's own reader.
#include "app/CityDatabase.h"

#include "platform/CaseFolding.h"
#include "platform/LetterFolding.h"
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
        // together, in order of the city's own name within (of one name, the largest first).
        std::u16string key = platform::to_lower(entry.name);
        key = key.substr(0, std::min(key.find(u','), key.find(u" (")));
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

// Each language's database: every city of codes.dat under its name in the language, and
// under its English name too where the city's own name differs; every name once; filed for
// the ruler as codes.dat is.
TEST(ShippedCityDatabase, EachLanguageNamesEveryCityInItsOwnWordsAndKeepsTheEnglishNames)
{
    const std::string program = NALO_PROGRAM_DIR;
    CityDatabase english;
    ASSERT_TRUE(english.open(platform::from_utf8(program + "/codes.dat")));
    english.read_all();
    std::set<std::u16string> english_codes;
    for (const auto& entry : english.entries())
        english_codes.insert(entry.code);

    const struct {
        const char* language;
        const char16_t* local_name;
        const char16_t* english_name;
        const char16_t* code;
    } table[] = {
        { "german", u"München, Bayern, Deutschland", u"Munich, Bavaria, Germany", u"02867714" },
        { "german", u"Köln, Nordrhein-Westfalen, Deutschland", u"Cologne, North Rhine-Westphalia, Germany", u"02886242" },
        { "russian", u"Москва, Москва, Россия", u"Moscow, Moscow, Russia", u"00524901" },
        { "russian", u"Берлин, Берлин, Германия", u"Berlin, Berlin, Germany", u"02950159" },
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.language);
        CityDatabase database;
        ASSERT_TRUE(database.open(platform::from_utf8(program + "/" + row.language + ".codes.dat")));
        database.read_all();
        EXPECT_LE(database.size(), CityDatabase::max_entries);
        std::map<std::u16string, std::u16string> by_name;
        std::set<std::u16string> codes;
        std::set<char16_t> runs;
        char16_t previous = 0;
        for (const auto& entry : database.entries()) {
            EXPECT_TRUE(by_name.emplace(entry.name, entry.code).second) << "name twice: " << platform::to_utf8(entry.name);
            codes.insert(entry.code);
            // Names of one first letter stand together, the ruler's letters once each.
            char16_t first = platform::fold_letters(entry.name.substr(0, 1))[0];
            if (first != previous) {
                EXPECT_TRUE(runs.insert(first).second) << "a second run of " << platform::to_utf8(entry.name);
            }
            previous = first;
        }
        EXPECT_EQ(codes, english_codes) << "every city, and no other";
        EXPECT_EQ(by_name[row.local_name], row.code);
        EXPECT_EQ(by_name[row.english_name], row.code);
    }
}
