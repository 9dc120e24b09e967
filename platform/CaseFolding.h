// Lower- and upper-casing of UTF-16 text by the Unicode simple case mappings of the BMP,
// as the original platform's CharLowerBuffW does it. Registry keys, value names, HTTP
// header names, path comparisons and the city search use it. The table is CaseTable.inc.
#pragma once

#include <string>
#include <string_view>

namespace platform {

char16_t to_lower(char16_t c);
std::u16string to_lower(std::u16string_view text);
char16_t to_upper(char16_t c);
std::u16string to_upper(std::u16string_view text);

} // namespace platform
