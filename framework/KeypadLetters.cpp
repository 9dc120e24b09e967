#include "framework/KeypadLetters.h"

#include "skin/file/LanguageTable.h"

namespace framework {

namespace {

bool is_latin(const KeypadLetters::Keys& keys)
{
    for (const std::u16string& letters : keys)
        for (char16_t c : letters)
            if (c >= 0x0370)
                return false;
    return true;
}

} // namespace

const KeypadLetters::Keys& KeypadLetters::latin()
{
    static const Keys keys = { u" 0", u".-',()1", u"abc2", u"def3", u"ghi4", u"jkl5", u"mno6", u"pqrs7", u"tuv8", u"wxyz9" };
    return keys;
}

KeypadLetters::KeypadLetters()
    : m_modes { latin() }
{
}

KeypadLetters KeypadLetters::from_language(const skin::LanguageTable& language)
{
    Keys own;
    for (int digit = 0; digit < 10; ++digit) {
        std::u16string key = u"Keypad" + std::u16string(1, char16_t(u'0' + digit));
        const std::u16string* letters = language.find(key);
        if (!letters || letters->empty())
            return {};
        own[size_t(digit)] = *letters;
    }
    // The language file cannot start a text with a space: 0 always types one first.
    if (own[0].front() != u' ')
        own[0].insert(own[0].begin(), u' ');
    KeypadLetters keypad;
    keypad.m_modes = { own };
    // A keypad of another script keeps the Latin letters one "#" away, for names
    // written in them.
    if (!is_latin(own))
        keypad.m_modes.push_back(latin());
    return keypad;
}

const std::u16string& KeypadLetters::letters(size_t mode, int digit) const
{
    static const std::u16string none;
    if (digit < 0 || digit > 9)
        return none;
    if (digit_mode(mode)) {
        static const Keys digits = { u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9" };
        return digits[size_t(digit)];
    }
    return m_modes[mode][size_t(digit)];
}

} // namespace framework
