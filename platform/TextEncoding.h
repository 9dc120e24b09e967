// Conversions between the UTF-16 text the system keeps in memory and the UTF-8 that
// Linux file names, libraries and terminals take. Only used at those edges.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Well-formed UTF-16 becomes UTF-8; an unpaired surrogate becomes U+FFFD.
std::string to_utf8(std::u16string_view text);

// UTF-8 becomes UTF-16 (with surrogate pairs); malformed bytes become U+FFFD.
std::u16string from_utf8(std::string_view text);

// Each byte becomes one UTF-16 code unit (ASCII and Latin-1 text).
std::u16string widen(std::string_view bytes);

} // namespace platform
