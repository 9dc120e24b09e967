#include "daemon/WeatherSettings.h"

#include "runtime/Registry.h"

namespace ombrelo {

uint32_t read_update_time()
{
    uint32_t minutes = default_update_time;
    runtime::read_number(weather_key, u"UpdateTime", minutes);
    return minutes;
}

std::u16string read_top_city()
{
    std::u16string code;
    runtime::read_string(weather_key, u"Top", code);
    return code;
}

} // namespace ombrelo
