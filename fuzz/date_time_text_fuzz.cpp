// Any text reads as a date-time of the cache file or fails, and any text reads as a
// feed's day date, without overflowing. A date-time read from a text, written again and
// read back, keeps its minute, and ages from or to it are counted without overflowing.
#include "daemon/DateTimeText.h"

#include "platform/Clock.h"

#include <cstdlib>
#include <string>

using namespace ombrelo;

namespace {

volatile int64_t sink;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::u16string text;
    for (size_t i = 0; i < size; ++i)
        text += char16_t(data[i]);
    sink = read_forecast_date(text);
    std::optional<int64_t> count = read_date_time_text(text);
    if (!count)
        return 0;
    const int64_t now = platform::local_now();
    sink = int64_t(minutes_between(*count, now)) + minutes_between(now, *count) + minutes_between(0, *count);
    std::u16string written = date_time_text(*count);
    // Counts from 1601 to the last calendar year the platform counts in are written as
    // calendar texts; they read back into the same minute.
    if (*count >= 0 && platform::count_to_system_time(*count).year <= 30827) {
        std::optional<int64_t> again = read_date_time_text(written);
        if (!again || *again > *count || *again / platform::units_per_minute != *count / platform::units_per_minute)
            std::abort();
    }
    return 0;
}
