// The city database reader against files written by the test's own writer: every
// length form, and the damaged, truncated and lying files the reader must survive.
#include "app/CityDatabase.h"

#include "runtime/Registry.h"

#include "support/TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>

using weather::CityDatabase;

namespace {

// Writes codes.dat bytes field by field, each length in the form the test asks for.
class CodesWriter {
public:
    CodesWriter& count(int32_t n) { return bytes(le(uint32_t(n), 4)); }
    // Length in one byte (0 ... 127).
    CodesWriter& text(std::u16string_view s)
    {
        m_bytes += char(s.size());
        return units(s);
    }
    // Length in `width` bytes after the byte -width.
    CodesWriter& long_text(std::u16string_view s, int width)
    {
        m_bytes += char(-width);
        m_bytes += le(uint32_t(s.size()), width);
        return units(s);
    }
    CodesWriter& entry(std::u16string_view code, std::u16string_view name) { return text(code).text(name); }
    CodesWriter& bytes(const std::string& raw)
    {
        m_bytes += raw;
        return *this;
    }
    const std::string& data() const { return m_bytes; }
    std::string save(const std::string& name) const
    {
        std::string path = test_support::scratch_folder("codes-" + name) + "/codes.dat";
        test_support::write_bytes(path, m_bytes);
        return path;
    }
    static std::string le(uint32_t value, int width)
    {
        std::string out;
        for (int i = 0; i < width; ++i)
            out += char(value >> (8 * i) & 0xFF);
        return out;
    }

private:
    CodesWriter& units(std::u16string_view s)
    {
        for (char16_t c : s)
            m_bytes += le(c, 2);
        return *this;
    }
    std::string m_bytes;
};

std::u16string wide(const std::string& path)
{
    return std::u16string(path.begin(), path.end());
}

std::vector<std::u16string> names(const CityDatabase& database)
{
    std::vector<std::u16string> out;
    for (const auto& entry : database.entries())
        out.push_back(entry.name);
    return out;
}

} // namespace

TEST(CityDatabase, ReadsEveryLengthFormInFileOrder)
{
    std::u16string long_name(300, u'x');
    CodesWriter file;
    file.count(6)
        .entry(u"02950159", u"Berlin, Berlin, Germany")
        .entry(u"03448439", u"S\u00E3o Paulo, S\u00E3o Paulo, Brazil")
        .text(u"").text(u"") // length byte 0: two empty strings
        .long_text(u"01850147", 1).long_text(u"Tokyo, Tokyo, Japan", 4)
        .long_text(u"00000001", 3).long_text(long_name, 2)
        .entry(u"00000002", u"\u0391\u03B8\u03AE\u03BD\u03B1 \U0001F600");
    CityDatabase database;
    ASSERT_TRUE(database.open(wide(file.save("forms"))));
    EXPECT_EQ(database.count(), 6);
    EXPECT_EQ(database.read_all(), 6u);
    EXPECT_FALSE(database.reading());
    EXPECT_EQ(database[0].code, u"02950159");
    EXPECT_EQ(database[1].name, u"S\u00E3o Paulo, S\u00E3o Paulo, Brazil");
    EXPECT_EQ(database[2].code, u"");
    EXPECT_EQ(database[2].name, u"");
    EXPECT_EQ(database[3].code, u"01850147");
    EXPECT_EQ(database[3].name, u"Tokyo, Tokyo, Japan");
    EXPECT_EQ(database[4].name, long_name);
    EXPECT_EQ(database[5].name, u"\u0391\u03B8\u03AE\u03BD\u03B1 \U0001F600");
}

TEST(CityDatabase, IncrementalReadingStopsWhereTheCallerStops)
{
    CodesWriter file;
    file.count(3).entry(u"1", u"A").entry(u"2", u"B").entry(u"3", u"C");
    CityDatabase database;
    ASSERT_TRUE(database.open(wide(file.save("incremental"))));
    const weather::CityEntry* first = database.read_next();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, u"A");
    EXPECT_EQ(database.size(), 1u);
    EXPECT_TRUE(database.reading());
    database.close();
    EXPECT_EQ(database.read_next(), nullptr);
    EXPECT_EQ(database.size(), 1u);
    // Opening again starts over.
    ASSERT_TRUE(database.open(wide(file.save("incremental"))));
    EXPECT_EQ(database.read_all(), 3u);
}

TEST(CityDatabase, DamagedEntriesAreDroppedAndReadingGoesOn)
{
    CodesWriter file;
    file.count(5)
        .entry(u"1", u"before")
        // A long length of 5 bytes fails at once; the name after it is read as it comes.
        .bytes("\xFB").text(u"five-byte prefix")
        // A long length of 0, and one that is negative in one byte.
        .text(u"2").bytes(std::string("\xFE\x00\x00", 3))
        .bytes("\xFF\x80").text(u"negative")
        .entry(u"3", u"after");
    runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 1);
    CityDatabase database;
    ASSERT_TRUE(database.open(wide(file.save("damaged"))));
    EXPECT_EQ(database.read_all(), 2u);
    EXPECT_EQ(names(database), (std::vector<std::u16string> { u"before", u"after" }));
    std::string log = test_support::read_utf16_file(std::string(std::getenv("NALO_TEMP")) + "/app_tests.txt");
    runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 0);
    EXPECT_NE(log.find("CityDatabase::read_next 3 damaged entries left out\n"), std::string::npos) << log;
}

TEST(CityDatabase, DamageThatLeavesNothingReadableEndsTheReading)
{
    CodesWriter good;
    good.count(4).entry(u"1", u"one").entry(u"2", u"two");
    struct Case {
        const char* what;
        std::string tail;
    };
    const Case cases[] = {
        { "length byte past the end", CodesWriter().text(u"3").bytes("\x7F" "abc").data() },
        { "long length past the end", CodesWriter().text(u"3").bytes("\xFC\xFF\xFF\xFF\x7F" "abcd").data() },
        { "long length cut short", CodesWriter().text(u"3").bytes("\xFE\x05").data() },
        { "truncated in a string", CodesWriter().text(u"3").text(u"three").data().substr(0, 7) },
        { "truncated between fields", CodesWriter().text(u"3").data() },
    };
    for (const Case& c : cases) {
        CodesWriter file = good;
        file.bytes(c.tail);
        CityDatabase database;
        ASSERT_TRUE(database.open(wide(file.save("end")))) << c.what;
        EXPECT_EQ(database.read_all(), 2u) << c.what;
        EXPECT_EQ(names(database), (std::vector<std::u16string> { u"one", u"two" })) << c.what;
        EXPECT_FALSE(database.reading()) << c.what;
    }
}

TEST(CityDatabase, CountsThatLie)
{
    CodesWriter entries;
    entries.entry(u"1", u"one").entry(u"2", u"two").entry(u"3", u"three");

    CodesWriter larger;
    larger.count(10).bytes(entries.data());
    CityDatabase database;
    ASSERT_TRUE(database.open(wide(larger.save("larger"))));
    EXPECT_EQ(database.read_all(), 3u);

    // A count no file of this size could hold is bounded by the file.
    CodesWriter huge;
    huge.count(0x7FFFFFFF).bytes(entries.data());
    ASSERT_TRUE(database.open(wide(huge.save("huge"))));
    EXPECT_LE(database.count(), int32_t(entries.data().size() / 2));
    EXPECT_EQ(database.read_all(), 3u);

    CodesWriter smaller;
    smaller.count(2).bytes(entries.data());
    ASSERT_TRUE(database.open(wide(smaller.save("smaller"))));
    EXPECT_EQ(database.read_all(), 2u);

    CodesWriter negative;
    negative.count(-1).bytes(entries.data());
    ASSERT_TRUE(database.open(wide(negative.save("negative"))));
    EXPECT_EQ(database.count(), 0);
    EXPECT_EQ(database.read_all(), 0u);
    EXPECT_TRUE(database.empty());
}

TEST(CityDatabase, NeverMoreThanTheCapacity)
{
    const int32_t written = int32_t(CityDatabase::max_entries) + 10;
    CodesWriter file;
    file.count(written);
    for (int32_t i = 0; i < written; ++i) {
        std::string digits = std::to_string(i);
        std::u16string code(digits.begin(), digits.end());
        // Names of varying length so fields straddle the read buffer's edges.
        file.entry(code, u"City " + code + std::u16string(size_t(i % 37), u'.'));
    }
    CityDatabase database;
    ASSERT_TRUE(database.open(wide(file.save("capacity"))));
    EXPECT_EQ(database.count(), int32_t(CityDatabase::max_entries));
    EXPECT_EQ(database.read_all(), CityDatabase::max_entries);
    EXPECT_EQ(database.entries().capacity(), CityDatabase::max_entries);
    EXPECT_EQ(database[38803].code, u"38803");
    EXPECT_EQ(database[38803].name, u"City 38803" + std::u16string(38803 % 37, u'.'));
}

TEST(CityDatabase, AMissingFileReadsAsEmptyAndIsLogged)
{
    runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 1);
    std::string folder = test_support::scratch_folder("missing");
    CityDatabase database;
    EXPECT_FALSE(database.open(wide(folder + "/codes.dat")));
    EXPECT_TRUE(database.empty());
    EXPECT_EQ(database.read_next(), nullptr);
    // Too short for a count.
    test_support::write_bytes(folder + "/short.dat", std::string("\x01\x00", 2));
    EXPECT_FALSE(database.open(wide(folder + "/short.dat")));
    std::string log = test_support::read_utf16_file(std::string(std::getenv("NALO_TEMP")) + "/app_tests.txt");
    runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 0);
    EXPECT_NE(log.find("CityDatabase::open cannot read " + folder), std::string::npos) << log;
    EXPECT_NE(log.find("CityDatabase::open no entry count in"), std::string::npos) << log;
    // The file appears later: the next open reads it.
    CodesWriter file;
    file.count(1).entry(u"1", u"late");
    test_support::write_bytes(folder + "/codes.dat", file.data());
    EXPECT_TRUE(database.open(wide(folder + "/codes.dat")));
    EXPECT_EQ(database.read_all(), 1u);
}
