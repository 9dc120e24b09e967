// One entry of a pop-up menu: the identifier the owner hears when it is chosen, the text
// it shows and its marks.
#pragma once

#include <string>

namespace framework {

struct PopupMenuEntry {
    std::u16string identifier;
    // Empty: the entry shows the language text of its identifier.
    std::u16string text;
    // Carried for the owner; the pop-up does not show them.
    std::u16string text2;
    std::u16string text3;
    // A disabled entry is shown but cannot be chosen.
    bool enabled { true };
    // Carried for the owner; the pop-up does not use it.
    bool second_flag { false };
    // Shown with the check mark (state 1 of the row's "check").
    bool checked { false };
};

} // namespace framework
