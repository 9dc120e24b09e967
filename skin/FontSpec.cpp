#include "skin/FontSpec.h"

#include "runtime/TextConvert.h"

#include <cstdint>

namespace skin {

namespace {

// One field: optional white space, optional sign, decimal digits. False when no digit
// follows; the position then stays where it was.
bool read_field(std::u16string_view text, size_t& position, int& value)
{
    size_t i = position;
    while (i < text.size() && runtime::is_white_space(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    size_t first = i;
    uint32_t result = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        result = result * 10u + uint32_t(text[i] - u'0');
    if (i == first)
        return false;
    value = int(int32_t(negative ? 0u - result : result));
    position = i;
    return true;
}

} // namespace

void parse_font_spec(std::u16string_view text, FontSpec& spec)
{
    size_t position = 0;
    int value = 0;
    if (!read_field(text, position, value))
        return;
    spec.size = value;
    bool* flags[] = { &spec.bold, &spec.italic, &spec.underline };
    for (bool* flag : flags) {
        if (!read_field(text, position, value))
            return;
        *flag = value != 0;
    }
    while (position < text.size() && runtime::is_white_space(text[position]))
        ++position;
    spec.face = std::u16string(text.substr(position));
}

} // namespace skin
