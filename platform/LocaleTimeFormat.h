// Dates and times written the way the user's locale writes them, from the C library's
// LC_TIME data: the short date, the day with the month's name, the time of day without
// seconds and the full weekday name. The program's locale comes from the environment
// (LC_ALL, then LC_TIME, then LANG); an unknown name falls back on "C".
#pragma once

#include "platform/Clock.h"

#include <ctime>
#include <locale.h>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The date and time as the C library's strftime takes them (daylight saving left to it).
std::tm to_tm(const SystemTime& time);

class LocaleTimeFormat {
public:
    // The locale of that name ("de_DE.UTF-8"); empty takes it from the environment.
    explicit LocaleTimeFormat(std::string_view name = {});
    ~LocaleTimeFormat();
    LocaleTimeFormat(const LocaleTimeFormat&) = delete;
    LocaleTimeFormat& operator=(const LocaleTimeFormat&) = delete;

    // The process's formatter; replace_current installs another (tests pin the locale).
    static const LocaleTimeFormat& current();
    static void replace_current(std::string_view name);

    // The name the locale was opened under ("C" after a fallback).
    const std::string& name() const { return m_name; }

    // "11/22/2000", "22.11.2000".
    std::u16string short_date(const SystemTime& time) const;
    // True when the short date writes the month before the day.
    bool month_before_day() const { return m_month_first; }
    // The day and the month's full name in the locale's order: "December 8", "8. Dezember".
    std::u16string day_and_month(const SystemTime& time) const;
    // "2:05 PM", "14:05".
    std::u16string time_without_seconds(const SystemTime& time) const;
    // "Tuesday", "Dienstag".
    std::u16string weekday_name(const SystemTime& time) const;

    // The strftime pictures in use, for diagnostics and tests.
    const std::string& day_and_month_picture() const { return m_day_month; }
    const std::string& time_picture() const { return m_time; }

private:
    std::u16string format(const char* picture, const SystemTime& time) const;

    std::string m_name;
    locale_t m_locale { nullptr };
    bool m_month_first { false };
    std::string m_day_month;
    std::string m_time;
};

} // namespace platform
