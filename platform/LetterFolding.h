// Letters without their accents, for finding and filing names as people read them: the
// city search's alphabet ruler files "Århus" under A and "Śląsk" under S, and the city
// database is sorted the same way. The table is LetterTable.inc.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The letter without its accents, in lower case (Å → a, Ś → s, Đ → d, Ё → е, й stays й);
// any other code unit lower-cased.
char16_t base_letter(char16_t c);
// A letter of any script (general category L); digits, signs and marks are not.
bool is_letter(char16_t c);
// Every code unit of the text by its base letter: "São Paulo" gives "sao paulo".
std::u16string fold_letters(std::u16string_view text);

} // namespace platform
