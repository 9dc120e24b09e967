#include "app/TemperatureText.h"

#include "runtime/TextConvert.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace weather {

std::u16string temperature_text(int32_t celsius, bool in_celsius)
{
    int32_t value = celsius;
    if (!in_celsius) {
        double fahrenheit = std::trunc(double(celsius) * 1.8 + 32.0);
        fahrenheit = std::clamp(fahrenheit, double(std::numeric_limits<int32_t>::min()),
            double(std::numeric_limits<int32_t>::max()));
        value = int32_t(fahrenheit);
    }
    std::u16string text;
    if (value > 0)
        text += u'+';
    text += runtime::int_to_text(value);
    text += u'\u00B0';
    return text;
}

} // namespace weather
