#include "app/ListKeys.h"

#include "skin/list/ListNode.h"

#include <algorithm>

namespace weather {

namespace {

bool in_sight(const skin::ListNode& list, const skin::ListRowNode& row)
{
    return !row.removed() && row.y() + row.height() > list.y() && row.y() < list.y() + list.height();
}

} // namespace

int first_row_in_sight(skin::ListNode& list)
{
    list.update_window();
    for (size_t i = 0; i < list.realized_count(); ++i)
        if (in_sight(list, list.realized_row(i)))
            return list.realized_row(i).index();
    return -1;
}

int last_row_in_sight(skin::ListNode& list)
{
    list.update_window();
    for (size_t i = list.realized_count(); i-- > 0;)
        if (in_sight(list, list.realized_row(i)))
            return list.realized_row(i).index();
    return -1;
}

bool list_key(skin::ListNode& list, const input::KeyEvent& event)
{
    // PageUp and PageDown, and a phone's volume keys, move by a screen of rows.
    bool back = event.code == input::key_page_up || event.code == input::key_volume_up;
    if (back || event.code == input::key_page_down || event.code == input::key_volume_down) {
        if (event.pressed && list.count() > 0) {
            int first = first_row_in_sight(list);
            int step = std::max(1, last_row_in_sight(list) - first);
            int from = list.highlight_position() < 0 ? std::max(first, 0) : int(list.highlight_position() + 0.5);
            list.set_highlight(std::clamp(from + (back ? -step : step), 0, list.count() - 1));
        }
        return true;
    }
    bool vertical = event.code == input::key_up || event.code == input::key_down;
    if (vertical && list.highlight_position() < 0) {
        if (event.pressed) {
            int row = event.code == input::key_down ? first_row_in_sight(list) : last_row_in_sight(list);
            if (row < 0)
                return false;
            list.set_highlight(row);
        }
        return true;
    }
    return list.key(event);
}

} // namespace weather
