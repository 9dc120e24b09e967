#include "platform/SystemLanguage.h"

#include <cstdlib>
#include <string>

namespace platform {

namespace {

constexpr uint16_t sublanguage_default = 1;

// ISO 639-1 codes and the platform's primary language identifiers. Norwegian Bokmål
// and Nynorsk share Norwegian's identifier, Serbian and Bosnian Croatian's, as on the
// platform; "iw" and "in" are the old codes of Hebrew and Indonesian.
struct IsoLanguage {
    char code[3];
    uint16_t id;
};
constexpr IsoLanguage iso_languages[] = {
    { "ar", 0x01 }, { "bg", 0x02 }, { "ca", 0x03 }, { "zh", 0x04 }, { "cs", 0x05 }, { "da", 0x06 },
    { "de", 0x07 }, { "el", 0x08 }, { "en", 0x09 }, { "es", 0x0a }, { "fi", 0x0b }, { "fr", 0x0c },
    { "he", 0x0d }, { "iw", 0x0d }, { "hu", 0x0e }, { "is", 0x0f }, { "it", 0x10 }, { "ja", 0x11 },
    { "ko", 0x12 }, { "nl", 0x13 }, { "no", 0x14 }, { "nb", 0x14 }, { "nn", 0x14 }, { "pl", 0x15 },
    { "pt", 0x16 }, { "rm", 0x17 }, { "ro", 0x18 }, { "ru", 0x19 }, { "hr", 0x1a }, { "sr", 0x1a },
    { "bs", 0x1a }, { "sk", 0x1b }, { "sq", 0x1c }, { "sv", 0x1d }, { "th", 0x1e }, { "tr", 0x1f },
    { "ur", 0x20 }, { "id", 0x21 }, { "in", 0x21 }, { "uk", 0x22 }, { "be", 0x23 }, { "sl", 0x24 },
    { "et", 0x25 }, { "lv", 0x26 }, { "lt", 0x27 }, { "tg", 0x28 }, { "fa", 0x29 }, { "vi", 0x2a },
    { "hy", 0x2b }, { "az", 0x2c }, { "eu", 0x2d }, { "mk", 0x2f }, { "st", 0x30 }, { "ts", 0x31 },
    { "tn", 0x32 }, { "ve", 0x33 }, { "xh", 0x34 }, { "zu", 0x35 }, { "af", 0x36 }, { "ka", 0x37 },
    { "fo", 0x38 }, { "hi", 0x39 }, { "mt", 0x3a }, { "se", 0x3b }, { "ga", 0x3c }, { "yi", 0x3d },
    { "ms", 0x3e }, { "kk", 0x3f }, { "ky", 0x40 }, { "sw", 0x41 }, { "tk", 0x42 }, { "uz", 0x43 },
    { "tt", 0x44 }, { "bn", 0x45 }, { "pa", 0x46 }, { "gu", 0x47 }, { "or", 0x48 }, { "ta", 0x49 },
    { "te", 0x4a }, { "kn", 0x4b }, { "ml", 0x4c }, { "as", 0x4d }, { "mr", 0x4e }, { "sa", 0x4f },
    { "mn", 0x50 }, { "bo", 0x51 }, { "cy", 0x52 }, { "km", 0x53 }, { "lo", 0x54 }, { "my", 0x55 },
    { "gl", 0x56 }, { "sd", 0x59 }, { "si", 0x5b }, { "iu", 0x5d }, { "am", 0x5e }, { "ks", 0x60 },
    { "ne", 0x61 },
};

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

} // namespace

uint16_t language_id_of_locale(std::string_view locale)
{
    // language[_territory][.codeset][@modifier]
    size_t end = locale.find_first_of("_.@");
    std::string_view language = locale.substr(0, end);
    if (language.size() != 2)
        return language_neutral;
    char code[3] = { lower(language[0]), lower(language[1]), 0 };
    for (const IsoLanguage& entry : iso_languages) {
        if (entry.code[0] == code[0] && entry.code[1] == code[1])
            return uint16_t(entry.id | sublanguage_default << 10);
    }
    return language_neutral;
}

uint16_t default_language_id()
{
    for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const char* value = std::getenv(name);
        if (value && *value)
            return language_id_of_locale(value);
    }
    return language_neutral;
}

} // namespace platform
