#include "app/AttributeText.h"

#include "platform/Clock.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace weather {

namespace {

bool is_space(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Skips white space and one sign; the position moves past them.
bool read_sign(std::u16string_view text, size_t& i)
{
    while (i < text.size() && is_space(text[i]))
        ++i;
    bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    return negative;
}

// One whole number from the position on; the position moves past its digits.
bool read_integer_at(std::u16string_view text, size_t& position, int32_t& value)
{
    size_t i = position;
    bool negative = read_sign(text, i);
    size_t first = i;
    // Counted in 64 bits and held at a bound just past 32 bits, so nothing overflows.
    int64_t magnitude = 0;
    constexpr int64_t bound = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (; i < text.size() && is_digit(text[i]); ++i)
        magnitude = std::min(bound, magnitude * 10 + (text[i] - u'0'));
    if (i == first)
        return false;
    int64_t signed_value = negative ? -magnitude : magnitude;
    value = int32_t(std::clamp<int64_t>(signed_value, std::numeric_limits<int32_t>::min(),
        std::numeric_limits<int32_t>::max()));
    position = i;
    return true;
}

// A decimal number with an optional fraction and exponent, in seconds.
bool read_seconds(std::u16string_view text, size_t position, double& seconds)
{
    size_t i = position;
    bool negative = read_sign(text, i);
    // The number's own characters, checked here so that "inf" or "nan" never pass.
    std::string number;
    size_t whole_digits = 0, fraction_digits = 0;
    for (; i < text.size() && is_digit(text[i]); ++i, ++whole_digits)
        number += char(text[i]);
    if (i < text.size() && text[i] == u'.') {
        number += '.';
        for (++i; i < text.size() && is_digit(text[i]); ++i, ++fraction_digits)
            number += char(text[i]);
    }
    if (whole_digits + fraction_digits == 0)
        return false;
    int64_t exponent = 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        size_t e = i + 1;
        bool exponent_negative = e < text.size() && text[e] == u'-';
        if (e < text.size() && (text[e] == u'+' || text[e] == u'-'))
            ++e;
        size_t first = e;
        for (; e < text.size() && is_digit(text[e]); ++e)
            exponent = std::min<int64_t>(exponent * 10 + (text[e] - u'0'), 1'000'000'000);
        if (e > first) {
            if (exponent_negative)
                exponent = -exponent;
            number += 'e' + std::to_string(exponent);
        } else {
            exponent = 0; // a bare "e" is no exponent
        }
    }
    double value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // The power of ten of the leading digit tells an overflow from an underflow.
        size_t leading = number.find_first_not_of("0.");
        size_t point = number.find('.');
        if (point == std::string::npos)
            point = number.find('e') == std::string::npos ? number.size() : number.find('e');
        int64_t power = leading == std::string::npos ? -1
            : leading < point                        ? int64_t(point - leading - 1)
                                                     : -int64_t(leading - point);
        value = power + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc()) {
        return false;
    }
    seconds = negative ? -value : value;
    return true;
}

} // namespace

bool read_integer(std::u16string_view text, int32_t& value)
{
    size_t position = 0;
    return read_integer_at(text, position, value);
}

bool read_date_time(std::u16string_view text, int64_t& value)
{
    int32_t parts[5];
    size_t position = 0;
    for (int32_t& part : parts)
        if (!read_integer_at(text, position, part))
            return false;
    double seconds = 0;
    if (!read_seconds(text, position, seconds))
        return false;
    double units = seconds * double(platform::units_per_second);
    // Anything beyond about 29,000 years either way is no date of this system.
    constexpr double limit = 9.0e18;
    if (!std::isfinite(units) || units > limit || units < -limit)
        return false;
    // To the nearest unit: "07.123000" is 71,230,000 units, not one less.
    int64_t fraction = int64_t(std::round(units));
    platform::SystemTime t;
    t.year = parts[0];
    t.month = parts[1];
    t.day = parts[2];
    t.hour = parts[3];
    t.minute = parts[4];
    t.second = 0;
    t.milliseconds = 0;
    int64_t count = 0;
    if (!platform::system_time_to_count(t, count)) {
        value = fraction;
        return true;
    }
    int64_t sum = 0;
    if (__builtin_add_overflow(count, fraction, &sum))
        return false;
    value = sum;
    return true;
}

} // namespace weather
