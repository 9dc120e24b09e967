// The runtime's text converters: how attribute texts become numbers and back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

bool is_white_space(char16_t c);

// Optional white space, optional sign, decimal digits; what follows the digits is
// ignored. The value wraps around in 32 bits instead of overflowing.
bool text_to_int(std::u16string_view text, int32_t& value);
// The same rule from a position on; on success the position moves past the digits, on
// failure neither it nor the value changes.
bool read_int(std::u16string_view text, size_t& position, int32_t& value);

// As text_to_int, then an optional fraction after '.', then an optional exponent after
// 'e' or 'E'; at least one digit before or after the point.
bool text_to_double(std::u16string_view text, double& value);

std::u16string int_to_text(int32_t value);    // "%d"
std::u16string double_to_text(double value);  // "%f"

} // namespace runtime
