#include "platform/CaseFolding.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/HostPath.h"
#include "platform/Library.h"
#include "platform/Process.h"
#include "platform/TextEncoding.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace platform;

TEST(TextEncoding, RoundTripsAndRepairs)
{
    std::u16string text = u"a\u00B0\u20AC\U0001F600z";
    EXPECT_EQ(to_utf8(text), "a\xC2\xB0\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(from_utf8(to_utf8(text)), text);
    EXPECT_EQ(from_utf8("a\xC0\x80z"), u"a\uFFFD\uFFFDz"); // overlong form
    EXPECT_EQ(from_utf8("\xE2\x82"), u"\uFFFD\uFFFD");     // cut short
    EXPECT_EQ(to_utf8(u"\xD800x"), "\xEF\xBF\xBDx");      // lone surrogate
    EXPECT_EQ(widen("\xFF" "A"), u"\u00FFA");
}

TEST(CaseFolding, LatinGreekCyrillic)
{
    EXPECT_EQ(to_lower(u"HKEY_Current\u00C9\u0410\u0401\u03A9\u0100"), u"hkey_current\u00E9\u0430\u0451\u03C9\u0101");
    EXPECT_EQ(to_upper(u"english \u00E9\u0430\u0451"), u"ENGLISH \u00C9\u0410\u0401");
    EXPECT_EQ(to_lower(u'\u00D7'), u'\u00D7');
}

TEST(HostPath, BackslashesAndTheTempFolder)
{
    setenv("NALO_TEMP", "/var/tmp/nalo-test/", 1);
    EXPECT_EQ(host_path(u"\\Temp\\Weather.txt"), "/var/tmp/nalo-test/Weather.txt");
    EXPECT_EQ(host_path(u"\\temp"), "/var/tmp/nalo-test");
    EXPECT_EQ(host_path(u"\\Temporary\\x"), "/Temporary/x");
    EXPECT_EQ(host_path(u"/opt/app\\\\downloads\\\\_X.xml"), "/opt/app//downloads//_X.xml");
    unsetenv("NALO_TEMP");
    setenv("TMPDIR", "/tmpdir", 1);
    EXPECT_EQ(temp_folder(), "/tmpdir");
    unsetenv("TMPDIR");
    EXPECT_EQ(temp_folder(), "/tmp");
    EXPECT_NE(executable_path().find(u"platform_tests"), std::u16string::npos);
}

TEST(Clock, CalendarConversions)
{
    SystemTime t { 2009, 3, 0, 10, 14, 5, 7, 250 };
    int64_t count = 0;
    ASSERT_TRUE(system_time_to_count(t, count));
    SystemTime back = count_to_system_time(count);
    EXPECT_EQ(back.year, 2009);
    EXPECT_EQ(back.month, 3);
    EXPECT_EQ(back.day, 10);
    EXPECT_EQ(back.day_of_week, 2); // a Tuesday
    EXPECT_EQ(back.hour, 14);
    EXPECT_EQ(back.minute, 5);
    EXPECT_EQ(back.second, 7);
    EXPECT_EQ(back.milliseconds, 250);
    ASSERT_TRUE(system_time_to_count({ 1601, 1, 1, 1, 0, 0, 0, 0 }, count));
    EXPECT_EQ(count, 0);
    ASSERT_TRUE(system_time_to_count({ 1970, 1, 4, 1, 0, 0, 0, 0 }, count));
    EXPECT_EQ(count, 116444736000000000LL);
    EXPECT_FALSE(system_time_to_count({ 2009, 2, 0, 29, 0, 0, 0, 0 }, count));
    EXPECT_TRUE(system_time_to_count({ 2008, 2, 0, 29, 0, 0, 0, 0 }, count));
    EXPECT_FALSE(system_time_to_count({ 2009, 0, 0, 1, 0, 0, 0, 0 }, count));
    EXPECT_FALSE(system_time_to_count({ 1600, 12, 0, 31, 0, 0, 0, 0 }, count));
}

TEST(Clock, LocalTimeFollowsTheTimeZone)
{
    setenv("TZ", "UTC", 1);
    tzset();
    int64_t utc = host_time_to_local_count(0, 0);
    setenv("TZ", "EST5", 1);
    tzset();
    EXPECT_EQ(utc - host_time_to_local_count(0, 0), 5 * 3600 * units_per_second);
    unsetenv("TZ");
    tzset();
    int64_t now = local_now();
    EXPECT_GT(now, 130000000000000000LL);
    uint32_t a = tick_count(), b = tick_count();
    EXPECT_LE(a, b);
}

TEST(FileMask, WildcardsWithoutCase)
{
    EXPECT_TRUE(matches_mask(u"_ABCD0001.xml", u"*.xml"));
    EXPECT_TRUE(matches_mask(u"A.XML", u"*.xml"));
    EXPECT_FALSE(matches_mask(u"a.xml.bak", u"*.xml"));
    EXPECT_TRUE(matches_mask(u"splash2.skin", u"s?lash*"));
    EXPECT_TRUE(matches_mask(u"anything", u"*"));
    EXPECT_FALSE(matches_mask(u"downloads", u"do_not_search"));
    EXPECT_TRUE(matches_mask(u"", u"*"));
}

TEST(Library, LinuxNamesForDllNames)
{
    EXPECT_EQ(Library::host_name(u"cellcore.dll"), "libcellcore.so");
    EXPECT_EQ(Library::host_name(u"PHONE.DLL"), "libPHONE.so");
    EXPECT_EQ(Library::host_name(u"/opt/x/libfoo.so"), "/opt/x/libfoo.so");
    Library missing;
    EXPECT_FALSE(missing.open(u"cellcore.dll"));
    Library libc;
    ASSERT_TRUE(libc.open(u"libc.so.6"));
    EXPECT_NE(libc.symbol("strlen"), nullptr);
    EXPECT_EQ(libc.symbol("no_such_symbol_here"), nullptr);
}

TEST(Process, ProgramNamesAndCommandLines)
{
    EXPECT_EQ(host_program(u"/bin/true.exe"), "/bin/true");
    EXPECT_EQ(split_command_line(u"top"), (std::vector<std::string> { "top" }));
    EXPECT_EQ(split_command_line(u"  a \"b c\"  d"), (std::vector<std::string> { "a", "b c", "d" }));
    EXPECT_TRUE(split_command_line(u"").empty());
    EXPECT_TRUE(start_detached("/bin/true", {}));
    EXPECT_FALSE(start_detached("/nonexistent/program", {}));
}
