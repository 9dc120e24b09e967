#include "framework/OutsideText.h"

#include "platform/TextEncoding.h"

namespace framework {

bool is_valid_utf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + size_t(extra) >= bytes.size() + (extra == 0 ? 1 : 0))
            return false;
        char32_t c = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
        for (int k = 1; k <= extra; ++k) {
            unsigned char b = static_cast<unsigned char>(bytes[i + size_t(k)]);
            if ((b & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (b & 0x3F);
        }
        if ((extra == 1 && c < 0x80) || (extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF))
            || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += size_t(extra) + 1;
    }
    return true;
}

std::optional<std::u16string> decode_outside_text(std::string_view bytes, size_t max_bytes, std::string& error)
{
    if (bytes.size() > max_bytes) {
        error = "longer than " + std::to_string(max_bytes) + " bytes";
        return std::nullopt;
    }
    if (!is_valid_utf8(bytes)) {
        error = "not valid UTF-8";
        return std::nullopt;
    }
    return platform::from_utf8(bytes);
}

} // namespace framework
