// The page read aloud: the city, the current condition and temperature, today's low and
// high and tomorrow's condition and high, in words of the language file ("Berlin: heavy
// showers, 4 degrees; today between 1 and 4; tomorrow mostly sunny, up to 9").
// Temperatures are plain numbers in the chosen scale, a negative one said with the
// language's word for minus; a part whose values are missing is left out.
#pragma once

#include "app/CityRecord.h"

#include "skin/file/LanguageTable.h"

#include <cstdint>
#include <string>

namespace weather {

std::u16string spoken_forecast(const skin::LanguageTable& language, const CityRecord& record, bool in_celsius, int64_t now);

// A temperature as it is said: "4", "minus 3" (in the language).
std::u16string spoken_temperature(const skin::LanguageTable& language, int32_t celsius, bool in_celsius);

} // namespace weather
