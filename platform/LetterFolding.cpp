#include "platform/LetterFolding.h"

#include <cstdint>

#include "platform/LetterTable.inc"

namespace platform {

char16_t base_letter(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return char16_t(c + letter_table::base_pages[letter_table::base_index[c >> 8]][c & 0xFF]);
}

bool is_letter(char16_t c)
{
    return (letter_table::letter_bits[letter_table::letter_index[c >> 8]][(c & 0xFF) >> 3] >> (c & 7)) & 1;
}

std::u16string fold_letters(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out)
        c = base_letter(c);
    return out;
}

} // namespace platform
