// Dates and times in the user's locale from the C library's LC_TIME data, with the
// locale pinned by name (locales-all provides them).
#include "platform/LocaleTimeFormat.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <cstdlib>

using platform::LocaleTimeFormat;
using platform::SystemTime;

namespace {

SystemTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    SystemTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.day_of_week = 6; // wrong on purpose: the weekday follows from the date
    return t;
}

std::string utf8(const std::u16string& text) { return platform::to_utf8(text); }

struct Expected {
    const char* locale;
    bool month_first;
    const char* short_date;
    const char* day_and_month;
    const char* time;
    const char* weekday;
};

TEST(LocaleTimeFormat, WritesTheLocalesOwnDatesAndTimes)
{
    const Expected cases[] = {
        { "de_DE.UTF-8", false, "08.12.2009", "8. Dezember", "14:05", "Dienstag" },
        { "en_US.UTF-8", true, "12/08/2009", "December 8", "02:05 PM", "Tuesday" },
        { "ru_RU.UTF-8", false, "08.12.2009", "08 декабря", "14:05", "Вторник" },
        { "en_GB.UTF-8", false, "08/12/09", "8 December", "14:05", "Tuesday" },
        { "C", true, "12/08/09", "December 8", "14:05", "Tuesday" },
    };
    for (const Expected& e : cases) {
        LocaleTimeFormat format(e.locale);
        ASSERT_EQ(format.name(), e.locale);
        SystemTime t = at(2009, 12, 8, 14, 5, 7);
        EXPECT_EQ(format.month_before_day(), e.month_first) << e.locale;
        EXPECT_EQ(utf8(format.short_date(t)), e.short_date) << e.locale;
        EXPECT_EQ(utf8(format.day_and_month(t)), e.day_and_month) << e.locale << " " << format.day_and_month_picture();
        EXPECT_EQ(utf8(format.time_without_seconds(t)), e.time) << e.locale << " " << format.time_picture();
        EXPECT_EQ(utf8(format.weekday_name(t)), e.weekday) << e.locale;
    }
}

TEST(LocaleTimeFormat, WeekdaysFollowTheGregorianCalendar)
{
    LocaleTimeFormat format("en_US.UTF-8");
    EXPECT_EQ(utf8(format.weekday_name(at(2006, 1, 1))), "Sunday");
    EXPECT_EQ(utf8(format.weekday_name(at(2000, 2, 29))), "Tuesday");
    EXPECT_EQ(utf8(format.weekday_name(at(2100, 3, 1))), "Monday"); // 2100 is no leap year
    EXPECT_EQ(utf8(format.weekday_name(at(1601, 1, 1))), "Monday");
}

TEST(LocaleTimeFormat, TheLocaleComesFromTheEnvironment)
{
    const char* saved_all = std::getenv("LC_ALL");
    std::string restore = saved_all ? saved_all : "";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    {
        LocaleTimeFormat format;
        EXPECT_EQ(format.name(), "de_DE.UTF-8");
        EXPECT_EQ(utf8(format.weekday_name(at(2009, 12, 8))), "Dienstag");
    }
    setenv("LC_ALL", "ru_RU", 1); // no code set named: taken in UTF-8 all the same
    {
        LocaleTimeFormat format;
        EXPECT_EQ(utf8(format.weekday_name(at(2009, 12, 8))), "Вторник");
    }
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    {
        LocaleTimeFormat format;
        EXPECT_EQ(format.name(), "C");
        EXPECT_EQ(utf8(format.weekday_name(at(2009, 12, 8))), "Tuesday");
    }
    if (saved_all)
        setenv("LC_ALL", restore.c_str(), 1);
    else
        unsetenv("LC_ALL");

    LocaleTimeFormat::replace_current("de_DE.UTF-8");
    EXPECT_EQ(LocaleTimeFormat::current().name(), "de_DE.UTF-8");
}

} // namespace
