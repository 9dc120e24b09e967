// Text that comes from outside the program (a script, a second copy's command line):
// refused, with a message that says why, when it is longer than allowed or not valid UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace framework {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
bool is_valid_utf8(std::string_view bytes);

// The text as UTF-16, or none with the reason in error.
std::optional<std::u16string> decode_outside_text(std::string_view bytes, size_t max_bytes, std::string& error);

} // namespace framework
