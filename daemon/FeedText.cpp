#include "daemon/FeedText.h"

namespace ombrelo {

std::u16string decode_feed_text(const uint8_t* bytes, size_t size)
{
    std::u16string text;
    text.reserve(size);
    size_t i = 0;
    while (i < size) {
        uint8_t lead = bytes[i];
        size_t length;
        uint32_t value;
        if (lead < 0x80) {
            length = 1;
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            value = lead & 0x07;
        } else if ((lead & 0xFC) == 0xF8) {
            length = 5;
            value = lead & 0x03;
        } else if ((lead & 0xFE) == 0xFC) {
            length = 6;
            value = lead & 0x01;
        } else {
            break; // a continuation byte, 0xFE or 0xFF
        }
        if (size - i < length)
            break;
        bool complete = true;
        for (size_t k = 1; k < length; ++k) {
            uint8_t next = bytes[i + k];
            if ((next & 0xC0) != 0x80) {
                complete = false;
                break;
            }
            value = (value << 6) | (next & 0x3F);
        }
        if (!complete)
            break;
        text += char16_t(value & 0xFFFF);
        i += length;
    }
    return text;
}

} // namespace ombrelo
