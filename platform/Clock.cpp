#include "platform/Clock.h"

#include <ctime>

namespace platform {

namespace {

// Days from 1601-01-01 to the given civil date (proleptic Gregorian calendar).
int64_t days_from_civil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days_since_1970 = era * 146097 + int64_t(doe) - 719468;
    return days_since_1970 + 134774; // 1601-01-01 is 134,774 days before 1970-01-01
}

void civil_from_days(int64_t days_since_1601, int& year, int& month, int& day)
{
    int64_t z = days_since_1601 - 134774 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(y + (month <= 2));
}

bool is_leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m)
{
    static const int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return m == 2 && is_leap(y) ? 29 : days[m - 1];
}

} // namespace

bool system_time_to_count(const SystemTime& t, int64_t& count)
{
    if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1
        || t.day > days_in_month(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0
        || t.minute > 59 || t.second < 0 || t.second > 59 || t.milliseconds < 0 || t.milliseconds > 999)
        return false;
    int64_t days = days_from_civil(t.year, unsigned(t.month), unsigned(t.day));
    int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    count = seconds * units_per_second + int64_t(t.milliseconds) * 10000;
    return true;
}

SystemTime count_to_system_time(int64_t count)
{
    SystemTime t;
    if (count < 0)
        return t;
    int64_t seconds = count / units_per_second;
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    civil_from_days(days, t.year, t.month, t.day);
    t.day_of_week = int((days + 1) % 7); // 1601-01-01 was a Monday
    t.hour = int(rest / 3600);
    t.minute = int(rest / 60 % 60);
    t.second = int(rest % 60);
    t.milliseconds = int(count % units_per_second / 10000);
    return t;
}

int64_t host_time_to_local_count(int64_t seconds, long nanoseconds)
{
    time_t host = time_t(seconds);
    struct tm local {};
    if (!localtime_r(&host, &local))
        return 0;
    int64_t local_seconds = seconds + local.tm_gmtoff;
    return (local_seconds + int64_t(134774) * 86400) * units_per_second + nanoseconds / 100;
}

int64_t local_now()
{
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    return host_time_to_local_count(ts.tv_sec, ts.tv_nsec);
}

SystemTime local_system_time()
{
    return count_to_system_time(local_now());
}

uint32_t tick_count()
{
    struct timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

} // namespace platform
