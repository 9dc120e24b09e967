// The form that owns a pop-up menu: it fills the entries when the pop-up opens and hears
// the identifier of the entry chosen.
#pragma once

#include "framework/PopupMenuEntry.h"

#include <string_view>
#include <vector>

namespace framework {

class PopupMenuOwner {
public:
    virtual ~PopupMenuOwner() = default;
    // Opening: the pop-up's identifier and an empty list to fill. Choosing: the chosen
    // entry's identifier and an empty list (adding to it changes nothing). The pop-up has
    // left the form stack before a choice is reported, so the owner may push forms, load
    // another skin and rebuild the pop-up from here.
    virtual void on_popup(std::u16string_view identifier, std::vector<PopupMenuEntry>& entries) = 0;
};

} // namespace framework
