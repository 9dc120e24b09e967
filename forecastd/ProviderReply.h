// Reads the provider's JSON answer. It is outside input: a missing field, a wrong type,
// a number that is not finite or out of all reason, or a malformed time makes the
// current condition unusable (the answer fails); the daily arrays give the days that
// are whole, up to the first broken one or the shortest array. The hours and today's
// details are optional: a broken hour ends the hours, a detail out of reason or in an
// unknown unit is left out, and neither fails the answer.
#pragma once

#include "forecastd/ProviderForecast.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace forecastd {

constexpr size_t max_reply_size = 1 << 20;
constexpr size_t max_days = 16;
// Hours kept from the current one on.
constexpr size_t max_hours = 48;

// False, with the reason, when the answer cannot give a forecast.
bool read_provider_reply(std::string_view json, ProviderForecast& forecast, std::string& error);

} // namespace forecastd
