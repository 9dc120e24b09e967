#include "skin/text/FontSpec.h"

#include "runtime/TextConvert.h"

#include <cstdint>

namespace skin {

void parse_font_spec(std::u16string_view text, FontSpec& spec)
{
    size_t position = 0;
    int32_t value = 0;
    if (!runtime::read_int(text, position, value))
        return;
    spec.size = value;
    bool* flags[] = { &spec.bold, &spec.italic, &spec.underline };
    for (bool* flag : flags) {
        if (!runtime::read_int(text, position, value))
            return;
        *flag = value != 0;
    }
    while (position < text.size() && runtime::is_white_space(text[position]))
        ++position;
    spec.face = std::u16string(text.substr(position));
}

} // namespace skin
