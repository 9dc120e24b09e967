#include "daemon/DateTimeText.h"

#include "runtime/TextConvert.h"

#include "platform/Clock.h"
#include "platform/TextEncoding.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace ombrelo {

std::u16string date_time_text(int64_t count)
{
    platform::SystemTime t = platform::count_to_system_time(count);
    int64_t rest = count % platform::units_per_minute;
    if (rest < 0)
        rest = 0;
    // Whole microseconds: a count in the last half microsecond of a minute must not be
    // rounded up to a second 60, which reads back as the next minute.
    int seconds = int(rest / platform::units_per_second);
    int microseconds = int(rest % platform::units_per_second / 10);
    char text[96];
    std::snprintf(text, sizeof text, "%d %02d %02d %02d %02d %02d.%06d", t.year, t.month, t.day, t.hour, t.minute,
        seconds, microseconds);
    return platform::widen(text);
}

std::optional<int64_t> read_date_time_text(std::u16string_view text)
{
    int32_t parts[5];
    size_t position = 0;
    for (int32_t& part : parts)
        if (!runtime::read_int(text, position, part))
            return std::nullopt;
    text.remove_prefix(position);
    // The seconds: a decimal number, the rest of the text being ignored.
    double seconds = 0;
    if (!runtime::text_to_double(text, seconds))
        return std::nullopt;
    // Seconds that no count can hold (or no number at all) are malformed.
    double units = seconds * double(platform::units_per_second);
    if (!(std::abs(units) < 0x1p62))
        return std::nullopt;
    int64_t fraction = int64_t(units);
    platform::SystemTime t;
    t.year = parts[0];
    t.month = parts[1];
    t.day = parts[2];
    t.hour = parts[3];
    t.minute = parts[4];
    t.second = 0;
    t.milliseconds = 0;
    int64_t count = 0;
    if (!platform::system_time_to_count(t, count))
        return fraction;
    int64_t sum = 0;
    if (__builtin_add_overflow(count, fraction, &sum))
        return std::nullopt;
    return sum;
}

int64_t read_forecast_date(std::u16string_view text)
{
    static const char16_t* const months[] = { u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug",
        u"Sep", u"Oct", u"Nov", u"Dec" };
    uint32_t day = 0, month = 0, year = 0;
    int spaces = 0;
    for (size_t i = 0; i < text.size() && spaces < 3; ++i) {
        char16_t c = text[i];
        if (c == u' ') {
            ++spaces;
            if (spaces == 1 && i + 1 < text.size()) {
                std::u16string_view name = text.substr(i + 1, 3);
                for (uint32_t m = 0; m < 12; ++m)
                    if (name == months[m])
                        month = m + 1;
                i += std::min<size_t>(3, text.size() - i - 1); // past the name, matched or not
            }
            continue;
        }
        if (spaces == 0)
            day = day * 10 + uint32_t(c - u'0');
        else if (spaces == 2)
            year = year * 10 + uint32_t(c - u'0');
    }
    platform::SystemTime t;
    t.year = int32_t(year);
    t.month = int32_t(month);
    t.day = int32_t(day);
    t.hour = t.minute = t.second = t.milliseconds = 0;
    int64_t count = 0;
    return platform::system_time_to_count(t, count) ? count : 0;
}

int32_t minutes_between(int64_t earlier, int64_t later)
{
    int64_t difference = 0;
    if (__builtin_sub_overflow(later, earlier, &difference))
        return later > earlier ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int32_t>::min();
    int64_t minutes = difference / platform::units_per_minute;
    if (minutes > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (minutes < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int32_t(minutes);
}

} // namespace ombrelo
