// The system's default language as a platform language identifier (primary language in
// the low 10 bits, sub-language above), from the POSIX locale: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty, e.g. "de_DE.UTF-8" -> "de" -> German (7).
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

constexpr uint16_t language_neutral = 0;

// The identifier of the locale's language, neutral (0) for "C", "POSIX", an unset
// locale or a language the platform has no identifier for.
uint16_t default_language_id();
// The same for one locale text ("de_DE.UTF-8", "pt_BR", "sr@latin", "ru").
uint16_t language_id_of_locale(std::string_view locale);
// The primary language of an identifier (its low 10 bits).
constexpr int primary_language(uint16_t language_id) { return language_id & 0x3FF; }

} // namespace platform
