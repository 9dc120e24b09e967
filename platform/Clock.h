// Wall-clock and uptime services. Date-times are counts of 100 ns units since
// 1601-01-01 00:00 of local wall-clock time, with no time-zone conversion.
#pragma once

#include <cstdint>

namespace platform {

// Broken-down calendar time; day_of_week 0 is Sunday.
struct SystemTime {
    int year { 1601 };
    int month { 1 };
    int day_of_week { 1 };
    int day { 1 };
    int hour { 0 };
    int minute { 0 };
    int second { 0 };
    int milliseconds { 0 };
};

constexpr int64_t units_per_second = 10'000'000;
constexpr int64_t units_per_minute = 600'000'000;

// Now, as a local date-time count (honours TZ and tools such as faketime).
int64_t local_now();
SystemTime local_system_time();

// Milliseconds since an arbitrary start; wraps like the platform's 32-bit tick count.
uint32_t tick_count();

// False when the parts do not form a valid calendar time from the year 1601 on.
bool system_time_to_count(const SystemTime& time, int64_t& count);
// A count broken back into its parts; negative counts give 1601-01-01.
SystemTime count_to_system_time(int64_t count);

// A host time (seconds and nanoseconds since the Unix epoch, UTC) as a local count.
int64_t host_time_to_local_count(int64_t seconds, long nanoseconds);

} // namespace platform
