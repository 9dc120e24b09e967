// How a temperature is written on the pages and published for other programs: "+" for
// values above 0, the whole number in the chosen scale, then "°". 21 °C reads "+21°" in
// Celsius and "+69°" in Fahrenheit; 0 reads "0°"; -3 reads "-3°".
#pragma once

#include <cstdint>
#include <string>

namespace weather {

// Fahrenheit is t × 1.8 + 32 in double precision, truncated toward zero (and held to
// the 32-bit range).
std::u16string temperature_text(int32_t celsius, bool in_celsius);

} // namespace weather
