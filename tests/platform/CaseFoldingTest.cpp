// The program's own lower- and upper-casing: the scripts city names are written in, and
// the whole table checked against the Unicode data it was generated from.
#include "platform/CaseFolding.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using platform::to_lower;
using platform::to_upper;

TEST(CaseFolding, ScriptsOfCityNames)
{
    struct Pair {
        char16_t upper, lower;
        const char* what;
    };
    const Pair pairs[] = {
        { u'\u00D6', u'\u00F6', "O with diaeresis" },
        { u'\u0178', u'\u00FF', "Y with diaeresis, outside Latin-1 in upper case" },
        { u'\u0141', u'\u0142', "L with stroke (Latin Extended-A)" },
        { u'\u01C4', u'\u01C6', "DZ with caron (Latin Extended-B)" },
        { u'\u0186', u'\u0254', "open O (African alphabets)" },
        { u'\u1EA0', u'\u1EA1', "A with dot below (Vietnamese)" },
        { u'\u03A3', u'\u03C3', "Sigma" },
        { u'\u0386', u'\u03AC', "Alpha with tonos" },
        { u'\u1F08', u'\u1F00', "Greek Extended" },
        { u'\u0416', u'\u0436', "Zhe" },
        { u'\u0490', u'\u0491', "Ghe with upturn (Ukrainian)" },
        { u'\u04C1', u'\u04C2', "Zhe with breve, an odd upper-case letter" },
        { u'\u0500', u'\u0501', "Cyrillic Supplement" },
        { u'\u0531', u'\u0561', "Armenian Ayb" },
        { u'\u10A0', u'\u2D00', "Georgian Asomtavruli An" },
        { u'\u1C90', u'\u10D0', "Georgian Mtavruli An" },
        { u'\u2C00', u'\u2C30', "Glagolitic" },
        { u'\uFF21', u'\uFF41', "fullwidth A" },
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(to_lower(p.upper), p.lower) << p.what;
        EXPECT_EQ(to_upper(p.lower), p.upper) << p.what;
        EXPECT_EQ(to_lower(p.lower), p.lower) << p.what;
        EXPECT_EQ(to_upper(p.upper), p.upper) << p.what;
    }
    // One-way mappings: final sigma, dotted capital I, the Kelvin sign, the palochka.
    EXPECT_EQ(to_upper(u'\u03C2'), u'\u03A3');
    EXPECT_EQ(to_lower(u'\u0130'), u'i');
    EXPECT_EQ(to_lower(u'\u212A'), u'k');
    EXPECT_EQ(to_lower(u'\u04C0'), u'\u04CF');
    EXPECT_EQ(to_upper(u'\u04CF'), u'\u04C0');
    // No case: sharp s, digits, CJK, a lone surrogate, the signs between the letters.
    for (char16_t c : { u'\u00DF', u'7', u'\u6771', char16_t(0xD83D), u'\u00D7', u'\u00F7', u'\u0482' }) {
        EXPECT_EQ(to_lower(c), c);
        EXPECT_EQ(to_upper(c), c);
    }
    EXPECT_EQ(to_lower(u"S\u00C3O PAULO, \u0130STANBUL, \u041C\u041E\u0421\u041A\u0412\u0410"),
        u"s\u00E3o paulo, istanbul, \u043C\u043E\u0441\u043A\u0432\u0430");
    EXPECT_EQ(to_upper(u"\u00F6rebro, \u1F00\u03B8\u03AE\u03BD\u03B1\u03B9"),
        u"\u00D6REBRO, \u1F08\u0398\u0389\u039D\u0391\u0399");
}

// Every simple mapping of the BMP in UnicodeData.txt, where the unicode-data package is
// installed (the build itself does not need it).
TEST(CaseFolding, EveryMappingOfTheUnicodeData)
{
    std::ifstream data("/usr/share/unicode/UnicodeData.txt");
    if (!data)
        GTEST_SKIP() << "unicode-data is not installed";
    size_t checked = 0;
    char16_t expected_lower[0x10000], expected_upper[0x10000];
    for (unsigned c = 0; c < 0x10000; ++c)
        expected_lower[c] = expected_upper[c] = char16_t(c);
    std::string line;
    while (std::getline(data, line)) {
        std::vector<std::string> fields;
        std::stringstream stream(line);
        for (std::string field; std::getline(stream, field, ';');)
            fields.push_back(field);
        unsigned code = std::stoul(fields[0], nullptr, 16);
        if (code > 0xFFFF)
            break;
        if (fields.size() > 12 && !fields[12].empty() && std::stoul(fields[12], nullptr, 16) <= 0xFFFF)
            expected_upper[code] = char16_t(std::stoul(fields[12], nullptr, 16));
        if (fields.size() > 13 && !fields[13].empty() && std::stoul(fields[13], nullptr, 16) <= 0xFFFF)
            expected_lower[code] = char16_t(std::stoul(fields[13], nullptr, 16));
    }
    for (unsigned c = 0; c < 0x10000; ++c) {
        ASSERT_EQ(unsigned(to_lower(char16_t(c))), unsigned(expected_lower[c])) << std::hex << c;
        ASSERT_EQ(unsigned(to_upper(char16_t(c))), unsigned(expected_upper[c])) << std::hex << c;
        checked += expected_lower[c] != c || expected_upper[c] != c;
    }
    EXPECT_GT(checked, 2000u);
}
