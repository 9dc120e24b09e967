#include "platform/CaseFolding.h"

#include <cstdint>

#include "platform/CaseTable.inc"

namespace platform {

// Unicode simple case mapping of one UTF-16 code unit (surrogates map to themselves),
// as the original platform's CharLowerBuffW and CharUpperBuffW do it.
char16_t to_lower(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return char16_t(c + case_table::lower_pages[case_table::lower_index[c >> 8]][c & 0xFF]);
}

char16_t to_upper(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    return char16_t(c + case_table::upper_pages[case_table::upper_index[c >> 8]][c & 0xFF]);
}

std::u16string to_lower(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out)
        c = to_lower(c);
    return out;
}

std::u16string to_upper(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out)
        c = to_upper(c);
    return out;
}

} // namespace platform
