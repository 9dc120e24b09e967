// What the twelve keys of a keypad phone type, by multi-tap: 2 gives a, b, c, 2 and round
// again; 0 a space and 0; 1 the signs that city names hold. The language file may give its
// own letters ("Keypad0" to "Keypad9", the 0 key's space implied: German adds ä ö ü ß on their base keys, Russian
// puts the Cyrillic alphabet on the keys as Russian phones do); "#" then steps through
// the modes: the language's letters, the Latin letters when the language's are another
// script, and digits.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace skin {
class LanguageTable;
}

namespace framework {

class KeypadLetters {
public:
    using Keys = std::array<std::u16string, 10>; // index: the digit

    // The Latin letters alone, as an English phone has them.
    KeypadLetters();
    // The language file's letters first, where it has all ten keys.
    static KeypadLetters from_language(const skin::LanguageTable& language);

    // The modes "#" steps through; the last one types digits.
    size_t mode_count() const { return m_modes.size() + 1; }
    bool digit_mode(size_t mode) const { return mode >= m_modes.size(); }
    // What the key types in that mode, in tap order (never empty for a letter mode).
    const std::u16string& letters(size_t mode, int digit) const;

    static const Keys& latin();

private:
    std::vector<Keys> m_modes;
};

} // namespace framework
