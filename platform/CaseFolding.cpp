#include "platform/CaseFolding.h"

namespace platform {

char16_t to_lower(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return char16_t(c + 32);
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x178 && c != 0x17F) {
        // Latin Extended-A pairs upper/lower case on even/odd code points, with a shift
        // between 0x139 and 0x148 and from 0x179 on.
        bool odd_upper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (odd_upper)
            return (c & 1) ? char16_t(c + 1) : c;
        return (c & 1) ? c : char16_t(c + 1);
    }
    if (c == 0x178)
        return 0xFF;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return char16_t(c + 32);
    if (c >= 0x410 && c <= 0x42F)
        return char16_t(c + 32);
    if (c >= 0x400 && c <= 0x40F)
        return char16_t(c + 80);
    if (c >= 0x460 && c <= 0x4FF && !(c >= 0x482 && c <= 0x489))
        return (c & 1) ? c : char16_t(c + 1);
    return c;
}

char16_t to_upper(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return char16_t(c - 32);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)
        return char16_t(c - 32);
    if (c >= 0x430 && c <= 0x44F)
        return char16_t(c - 32);
    if (c >= 0x450 && c <= 0x45F)
        return char16_t(c - 80);
    if (c >= 0x100 && c <= 0x17F && to_lower(char16_t(c - 1)) == c)
        return char16_t(c - 1);
    if (c >= 0x460 && c <= 0x4FF && (c & 1) && to_lower(char16_t(c - 1)) == c)
        return char16_t(c - 1);
    return c;
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
