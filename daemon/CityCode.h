// The forecast service's location identifier: it names the cache file and is the whole
// payload of a request, so only exactly 8 ASCII letters or digits are accepted.
#pragma once

#include <string_view>

namespace ombrelo {

constexpr size_t city_code_length = 8;

bool is_valid_city_code(std::u16string_view code);

} // namespace ombrelo
