// Letters without their accents: how the city search files and finds names.
#include "platform/LetterFolding.h"

#include <gtest/gtest.h>

using platform::base_letter;
using platform::fold_letters;
using platform::is_letter;

TEST(LetterFolding, BaseLettersOfCityNames)
{
    struct Case {
        char16_t letter, base;
        const char* what;
    };
    const Case cases[] = {
        { u'A', u'a', "plain upper case" },
        { u'\u00C5', u'a', "A with ring (Århus)" },
        { u'\u00E2', u'a', "a with circumflex" },
        { u'\u015A', u's', "S with acute (Śląsk)" },
        { u'\u0160', u's', "S with caron" },
        { u'\u0110', u'd', "D with stroke (Đà Nẵng)" },
        { u'\u0141', u'l', "L with stroke (Łódź)" },
        { u'\u00D8', u'o', "O with stroke (Ørsta)" },
        { u'\u0130', u'i', "dotted I (İzmir)" },
        { u'\u1EA0', u'a', "A with dot below (Vietnamese)" },
        { u'\u0401', u'\u0435', "Cyrillic Io files with Ie" },
        { u'\u0419', u'\u0439', "Cyrillic short I stays apart from I" },
        { u'\u0386', u'\u03B1', "Alpha with tonos" },
        { u'\u018F', u'\u0259', "schwa has no base: lower-cased" },
        { u'\u304C', u'\u304C', "kana keep their marks" },
        { u'\uC11C', u'\uC11C', "Hangul syllables stay whole" },
        { u'\'', u'\'', "signs stay" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(int(base_letter(c.letter)), int(c.base)) << c.what;
    EXPECT_EQ(fold_letters(u"S\u00E3o Paulo"), u"sao paulo");
    EXPECT_EQ(fold_letters(u"M\u00FCnchen"), u"munchen");
}

TEST(LetterFolding, LettersOfEveryScriptButNotDigitsOrSigns)
{
    for (char16_t c : { u'a', u'Z', u'\u00E9', u'\u0259', u'\u0416', u'\u03A3', u'\u05D0', u'\u4E2D', u'\u02BB' })
        EXPECT_TRUE(is_letter(c)) << int(c);
    for (char16_t c : { u'0', u'9', u'\'', u'#', u' ', u'\u2018', u'\u2019', u'\u00B0', u'\u0301', char16_t(0xD800) })
        EXPECT_FALSE(is_letter(c)) << int(c);
}
