// Keys for the forms' lists. The engine's list starts a new highlight moving (so a single
// press of Down lands on the second row); here the first Up or Down on a list without a
// highlight puts the bar on the last or first row in sight and leaves it there, so that
// Down then Enter chooses the first row the user sees. PageUp and PageDown (a phone's
// volume keys) move the bar by a screen. Every other key goes to the list.
#pragma once

#include "input/KeyCodes.h"

namespace skin {
class ListNode;
}

namespace weather {

bool list_key(skin::ListNode& list, const input::KeyEvent& event);

// The first or last row in sight, -1 when none is.
int first_row_in_sight(skin::ListNode& list);
int last_row_in_sight(skin::ListNode& list);

} // namespace weather
