// The texts of the detail form's rows, in the chosen unit and language: the cache file
// holds Celsius, km/h, tenths of hPa and of mm; Fahrenheit shows mph, inHg and inches.
// A missing value is "–".
#pragma once

#include "daemon/ForecastDetails.h"

#include <functional>
#include <string>
#include <string_view>

namespace weather {

using Translate = std::function<std::u16string(std::u16string_view key)>;

struct DetailTexts {
    std::u16string feels, wind, humidity, pressure, rain, uv, sunrise, sunset;
};

DetailTexts detail_texts(const ombrelo::ForecastDetails& details, bool celsius, const Translate& translate);

// The compass letter of a direction (the language's "Compass": eight names from north
// clockwise) after the arrow of where the wind blows to.
std::u16string wind_direction_text(int32_t degrees, const Translate& translate);

} // namespace weather
