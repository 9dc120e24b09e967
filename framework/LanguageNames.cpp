#include "framework/LanguageNames.h"

#include "platform/SystemLanguage.h"

namespace framework {

namespace {

// Indexed by the platform's primary language identifier (LANG_ARABIC 1 ... LANG_NEPALI 97).
constexpr LanguageName names[language_name_count] = {
    {}, { u"AR", u"ARABIC" }, { u"BG", u"BULGARIAN" }, { u"CA", u"CATALAN" }, { u"ZH", u"CHINESE" },
    { u"CS", u"CZECH" }, { u"DA", u"DANISH" }, { u"DE", u"GERMAN" }, { u"EL", u"GREEK" },
    { u"EN", u"ENGLISH" }, { u"ES", u"SPANISH" }, { u"FI", u"FINNISH" }, { u"FR", u"FRENCH" },
    { u"HE", u"HEBREW" }, { u"HU", u"HUNGARIAN" }, { u"IS", u"ICELANDIC" }, { u"IT", u"ITALIAN" },
    { u"JA", u"JAPANESE" }, { u"KO", u"KOREAN" }, { u"NL", u"DUTCH" }, { u"NO", u"NORWEGIAN" },
    { u"PL", u"POLISH" }, { u"PT", u"PORTUGUESE" },
    {}, // 0x17
    { u"RO", u"ROMANIAN" }, { u"RU", u"RUSSIAN" }, { u"HR", u"CROATIAN" }, { u"SK", u"SLOVAK" },
    { u"SQ", u"ALBANIAN" }, { u"SV", u"SWEDISH" }, { u"TH", u"THAI" }, { u"TR", u"TURKISH" },
    { u"UR", u"URDU" }, { u"ID", u"INDONESIAN" }, { u"UK", u"UKRAINIAN" }, { u"BE", u"BYELORUSSIAN" },
    { u"SL", u"SLOVENIAN" }, { u"ET", u"ESTONIAN" }, { u"LV", u"LATVIAN" }, { u"LT", u"LITHUANIAN" },
    {}, // 0x28
    { u"FA", u"PERSIAN" }, { u"VI", u"VIETNAMESE" }, { u"HY", u"ARMENIAN" }, { u"AZ", u"AZERBAIJANI" },
    { u"EU", u"BASQUE" },
    {}, // 0x2e
    { u"MK", u"MACEDONIAN" },
    {}, {}, {}, {}, {}, {}, // 0x30 - 0x35
    { u"AF", u"AFRIKAANS" }, { u"KA", u"GEORGIAN" }, { u"FO", u"FAROESE" }, { u"HI", u"HINDI" },
    {}, {}, {}, {}, // 0x3a - 0x3d
    { u"MS", u"MALAY" }, { u"KK", u"KAZAKH" },
    {}, // 0x40
    { u"SW", u"SWAHILI" },
    {}, // 0x42
    { u"UZ", u"UZBEK" }, { u"TT", u"TATAR" }, { u"BN", u"BENGALI" }, { u"PA", u"PUNJABI" },
    { u"GU", u"GUJARATI" }, { u"OR", u"ORIYA" }, { u"TA", u"TAMIL" }, { u"TE", u"TELUGU" },
    { u"KN", u"KANNADA" }, { u"ML", u"MALAYALAM" }, { u"AS", u"ASSAMESE" }, { u"MR", u"MARATHI" },
    { u"SA", u"SANSKRIT" },
    {}, {}, {}, {}, {}, {}, {}, {}, {}, // 0x50 - 0x58
    { u"SD", u"SINDHI" },
    {}, {}, {}, {}, {}, {}, // 0x5a - 0x5f
    { u"KS", u"KASHMIRI" }, { u"NE", u"NEPALI" },
};

static_assert(names[0x61].name == u"NEPALI", "the table ends with LANG_NEPALI, 97");

} // namespace

LanguageName language_name(int language_id)
{
    int primary = platform::primary_language(uint16_t(language_id));
    if (language_id < 0 || primary >= language_name_count)
        return {};
    return names[primary];
}

LanguageName system_language_name() { return language_name(platform::default_language_id()); }

} // namespace framework
