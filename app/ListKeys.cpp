#include "app/ListKeys.h"

#include "skin/list/ListNode.h"

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
