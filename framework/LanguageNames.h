// The names of languages by platform language identifier: 98 entries indexed by the
// primary language identifier (the low 10 bits), each a two-letter upper-case code and
// an upper-case English name; identifiers without a language have empty texts. The
// system language's name picks the language file tried after the chosen one.
#pragma once

#include <string_view>

namespace framework {

struct LanguageName {
    std::u16string_view code;
    std::u16string_view name;
};

constexpr int language_name_count = 98;

// The entry of the primary part of the identifier; empty texts for 98 and above.
LanguageName language_name(int language_id);
// The system's default language (from the POSIX locale), e.g. "GERMAN" and "DE";
// empty texts when the locale names no language of the table.
LanguageName system_language_name();

} // namespace framework
