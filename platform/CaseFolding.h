// Lower-casing of UTF-16 text as the original platform's CharLowerBuffW does it for the
// scripts this system meets (Latin, Greek, Cyrillic). Registry keys, value names, HTTP
// header names and path comparisons use it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

char16_t to_lower(char16_t c);
std::u16string to_lower(std::u16string_view text);
char16_t to_upper(char16_t c);
std::u16string to_upper(std::u16string_view text);

} // namespace platform
