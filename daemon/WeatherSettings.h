// The registry key of the forecast system and the values the daemon reads and writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ombrelo {

constexpr std::u16string_view weather_key = u"HKEY_CURRENT_USER\\Software\\NALO\\Weather";
constexpr uint32_t default_update_time = 360;

// `UpdateTime` in minutes, 360 when missing or not a number.
uint32_t read_update_time();
// `Top`: the city published for other programs; empty when missing.
std::u16string read_top_city();

} // namespace ombrelo
