// Where the forecast feed is fetched: the registry value `Server` under the Weather
// key, "host[:port]" or "http://host[:port]" or "https://host[:port]".
#pragma once

#include <string>
#include <string_view>

namespace ombrelo {

constexpr std::u16string_view default_server = u"localhost:8642";

// Scheme and host, "http://" when the value names none.
std::u16string forecast_server();
// The feed's address for a city, temperatures in degrees Celsius.
std::u16string forecast_url(std::u16string_view city_code);

} // namespace ombrelo
