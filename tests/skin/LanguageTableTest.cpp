#include "SkinTestSupport.h"

#include "skin/file/LanguageTable.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace skin;
using namespace skin_test;

namespace {

LanguageTable parse(const std::string& bytes)
{
    return LanguageTable::parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string utf16le_with_bom(const std::u16string& text)
{
    std::string out = "\xFF\xFE";
    for (char16_t c : text) {
        out += char(c & 0xFF);
        out += char(c >> 8);
    }
    return out;
}

} // namespace

TEST(LanguageTable, KeysAndValues)
{
    LanguageTable table = parse("OK=Fine\n"
                                "OK = Fine\n"
                                "  Cancel\tStop now \r"
                                "Empty\n"
                                "Tail  \n"
                                "=orphan\n"
                                "\n"
                                "Eq==x\r\n"
                                "Last=no newline");
    struct Case {
        const char16_t* key;
        const char16_t* value;
    } cases[] = {
        { u"OK", u"= Fine" },        // the later line wins, from its equals sign
        { u"Cancel", u"Stop now " }, // values are not trimmed
        { u"Empty", u"" },
        { u"Tail", u"" },            // white space up to the line end only
        { u"Eq", u"=x" },
        { u"Last", u"no newline" },
    };
    for (const Case& c : cases) {
        const std::u16string* value = table.find(c.key);
        ASSERT_TRUE(value) << platform::to_utf8(c.key);
        EXPECT_EQ(*value, c.value) << platform::to_utf8(c.key);
    }
    EXPECT_EQ(table.size(), std::size(cases));
    EXPECT_EQ(table.text(u"ok"), u"ok"); // keys are case-sensitive; a missing key is itself
    EXPECT_EQ(table.text(u""), u"");
}

TEST(LanguageTable, EncodingsAndOddSizes)
{
    LanguageTable wide = parse(utf16le_with_bom(u"City=\u0413\u043E\u0440\u043E\u0434\nSkin#dark=Dark\n"));
    EXPECT_EQ(wide.text(u"City"), u"\u0413\u043E\u0440\u043E\u0434");
    EXPECT_EQ(wide.text(u"Skin#dark"), u"Dark");
    // An odd length is not UTF-16: every byte is one character.
    LanguageTable odd = parse("\xFF\xFE" "A=b");
    EXPECT_EQ(odd.text(u"\u00FF\u00FEA"), u"b");
    LanguageTable latin = parse("K=\xE9");
    EXPECT_EQ(latin.text(u"K"), u"\u00E9");
    EXPECT_EQ(parse("").size(), 0u);
    EXPECT_EQ(parse("\xFF\xFE").size(), 0u);
}

TEST(LanguageTable, LoadFailsOnlyWhenTheFileCannotBeRead)
{
    std::string folder = test_support::scratch_folder("lng");
    test_support::write_bytes(folder + "/a.lng", "A=1\n");
    test_support::write_bytes(folder + "/empty.lng", "");
    LanguageTable table;
    ASSERT_TRUE(table.load(u16(folder + "/a.lng")));
    EXPECT_EQ(table.path(), u16(folder + "/a.lng"));
    EXPECT_FALSE(table.load(u16(folder + "/missing.lng")));
    EXPECT_EQ(table.text(u"A"), u"1"); // the table stays
    ASSERT_TRUE(table.load(u16(folder + "/empty.lng")));
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.path(), u16(folder + "/empty.lng"));
}
