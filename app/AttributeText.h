// The application's readers of the cache file's attribute texts: whole numbers and
// date-times. The daemon writes them; these read what any file holds, so every value
// that does not fit is a failed read, never an overflow.
#pragma once

#include <cstdint>
#include <string_view>

namespace weather {

// Optional white space, an optional "+" or "-", then at least one decimal digit; what
// follows the digits is ignored. Values beyond 32 bits stop at the nearest limit.
bool read_integer(std::u16string_view text, int32_t& value);

// Six numbers, each after optional white space and with an optional sign: year, month,
// day, hour, minute and the seconds (a decimal number with an optional fraction and
// exponent). Parts that form no calendar time give the seconds alone. False (the value
// untouched) when a number is missing or malformed, or the result leaves the 64-bit count.
bool read_date_time(std::u16string_view text, int64_t& value);

} // namespace weather
